#ifndef BILLINGHISTORY_H
#define BILLINGHISTORY_H

#include "clerkacts.h"

#include <QMetaType>
#include <QStringList>

Q_DECLARE_METATYPE(QList<ClerkAct>)

// One random clerk's history of an apartment, seeded so that a failure can be run again alone: leases
// saved and deleted, bills added, edited and deleted, charges forgiven, Charge Ahead, rent adjusted and
// runs, on days that never go back.
QList<ClerkAct> randomClerkHistory(quint32 seed);

// Where one account's charges or questions differ from another's, each difference a line.
QStringList outcomeDifferences(ClerkOutcome program, ClerkOutcome oracle);

// A history that failed, told with its seed (to run it again alone), its acts and what was found.
void warnHistory(quint32 seed, const QList<ClerkAct> &acts, const QStringList &found);

// The office's own cases, each a short history with the charges of one line it must end with (as
// Clerk::chargesOf shows them) and, for each lease saved, whether the question was asked.
// Tenants: 1 Juniper, 2 Kasimir, 3 Leontine.
struct ClerkCase
{
    const char *name;
    QList<ClerkAct> acts;
    int line;
    QStringList charges;
    QList<bool> asked;
};
QList<ClerkCase> officeCases();
// The same as a test's data rows: acts, line, charges, asked.
void officeCaseRows();

// Acts and charges written short, days as ISO dates.
namespace Clerk {
QDate d(const char *iso);
ClerkAct lease(const char *today, int tenant, qint64 cents, int freq, const char *first, const char *end, bool yes = false);
ClerkAct line(ClerkAct::Kind kind, const char *today, int tenantOrLine, qint64 cents, const char *start, const char *end);
ClerkAct plain(ClerkAct::Kind kind, const char *today, int line = 0);
ClerkAct forgive(const char *today, int tenant, int line, const char *due);
// The charges of one line as "tenant due cents", forgiven ones marked, in order of due date.
QStringList chargesOf(const ClerkOutcome &outcome, int line);
QStringList monthly(int tenant, const QDate &first, int months, qint64 cents);
} // namespace Clerk

#endif // BILLINGHISTORY_H
