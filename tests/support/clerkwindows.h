#ifndef CLERKWINDOWS_H
#define CLERKWINDOWS_H

#include "billingcommands.h"

#include <memory>

class ApartmentsForm;
class XDataSource;

// The same clerk's acts carried out as he carries them out, through the real windows: the lease form,
// Delete Rental Agreement and the recurring bill editor on the apartments page, Collect Rent (opened
// after the charge run, as the main window opens it) for a charge deleted and for Charge Ahead, the Adjust
// Rental Rate dialog, and the charge run the program makes at its start. Every question is answered
// through the message helper's test mode; the question about the tenant's earlier lease as the act says.
class ClerkWindows : public BillingCommands
{
public:
    explicit ClerkWindows(XDataSource *hub);
    ~ClerkWindows() override;

    bool apply(const ClerkAct &act) override;

private:
    bool fail(const ClerkAct &act, const QString &what);
    // The apartment made current on the page, with the act's tenant as the apartment's tenant.
    void showApartment(int tenant);
    bool billEditor(const ClerkAct &act, int recid);

    XDataSource *m_hub;
    std::unique_ptr<ApartmentsForm> m_page;
};

#endif // CLERKWINDOWS_H
