#ifndef RENTADJUSTMENT_H
#define RENTADJUSTMENT_H

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariantList>

// Raises or lowers, in one transaction, the asking rents of apartments and the amounts of the rent
// bills of their agreements: for every apartment, a tenant's, a building's or one apartment; by a
// percentage or by an amount. Every new value is rounded to the cent, and an adjustment that would
// bring any rent or bill below zero changes nothing.
class RentAdjustment
{
    Q_DECLARE_TR_FUNCTIONS(RentAdjustment)

public:
    enum Scope { AllApartments, Tenant, Building, Apartment };
    enum Apply { FutureRates = 0, CurrentAgreements = 1, Both = 2 };
    enum Kind { ByPercent, ByAmount };

    // `key` names the tenant, building or apartment of the scope. The rent bills are those the leases
    // made (their lease-rent mark), whatever their type reads.
    RentAdjustment(Scope scope, int key, Apply apply, Kind kind, double value);

    // Reads the rents and bills in scope and works out their new values. False, with message(), when
    // the adjustment is refused or the rows could not be read.
    bool prepare();
    // How many rents and bills the adjustment changes (after prepare).
    int apartmentCount() const { return m_apartments.size(); }
    int billCount() const { return m_bills.size(); }
    // Writes the new values in one transaction, reading them afresh inside it. False, with message(),
    // when nothing was changed.
    bool apply();

    QString message() const { return m_message; }

private:
    struct Change
    {
        int key;
        double value;
    };
    bool compute(QList<Change> &apartments, QList<Change> &bills);
    // Adds the rows of the statement (key, value) whose value the adjustment changes; counts those
    // it would bring below zero.
    bool readChanges(const QString &sql, const QVariantList &values, QList<Change> &changes, int &negative);
    bool write(const QString &sql, const QList<Change> &changes);
    double adjusted(double value) const;

    Scope m_scope;
    int m_key;
    Apply m_apply;
    Kind m_kind;
    double m_value;
    QList<Change> m_apartments;
    QList<Change> m_bills;
    QString m_message;
};

#endif // RENTADJUSTMENT_H
