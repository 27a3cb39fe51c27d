#ifndef LEASEDRIVER_H
#define LEASEDRIVER_H

#include "leasedays.h"

#include <QMessageBox>
#include <QSqlRecord>
#include <QStringList>

#include <functional>

class ApartmentsForm;
class QWidget;
class XDataSource;

// The clerk's lease and bill commands on the apartments page and in Collect Rent, each through the
// window he uses, and each one that went through told to the record of the clerk's acts the oracle
// judges (whether the question was asked included). What a command must do beyond that (the lease form
// takes the lease) is added to `broken`, for the test to report with the step it was taking. Each
// command's own questions are answered Yes.
class LeaseDriver
{
public:
    LeaseDriver(XDataSource *hub, LeaseDays &days, QStringList &broken)
        : hub(hub)
        , days(days)
        , broken(broken)
    {
    }

    // An amount as a clerk types it on this desktop, group signs and all.
    static QString money(qint64 cents);
    static void retype(QWidget *parent, const char *name, const QString &text);

    // The lease of the apartment with its frequency's name, as the lease form shows it; empty without one.
    static QSqlRecord leaseOf(int apid);
    // A lease as the clerk typed it.
    static LeaseDays::Terms termsOf(int tid, const QSqlRecord &terms);
    // Every charge of the apartment, one line each, in key order.
    static QStringList chargesOf(int apid);

    // Delete Rental Agreement, its question answered Yes; false when the lease is still there (its write
    // refused).
    bool deleteLease(ApartmentsForm &form, int apid, int agreement);
    // View/New Rental Agreement, the form filled with `terms` as the clerk types them; false when no lease
    // was made. `earlierDays` answers the question about the days of the tenant's earlier lease, where it
    // is asked; every question after the save is answered Yes.
    bool makeLease(ApartmentsForm &form, int apid, const QSqlRecord &terms,
                   QMessageBox::StandardButton earlierDays = QMessageBox::Yes);
    // The apartment editor's tenant button and picker; false when the apartment kept its tenant.
    bool giveApartment(ApartmentsForm &form, int apid, int tid);
    // The bill's editor moves its end to `end`; false when the bill kept its end.
    bool endBill(ApartmentsForm &form, int apid, int recid, const QDate &end);
    // A monthly bill of the apartment's tenant added on the apartments page; its key, or 0 when none was.
    int addBill(ApartmentsForm &form, int apid, const QString &type, qint64 cents, const QDate &start,
                const QDate &end);
    // The bill's editor moves its start to `start`; false when the bill kept its start.
    bool startBill(ApartmentsForm &form, int apid, int recid, const QDate &start);
    // The charge deleted in its tenant's Collect Rent; false when it is still there.
    bool forgive(int chid);
    // The lease deleted and made again with `terms`: what was charged stays as it was. Says what it did.
    QString remakeLeaseOf(int apid, const QSqlRecord &terms, const QString &how,
                          QMessageBox::StandardButton earlierDays = QMessageBox::Yes);

    // Where set, each lease made again records here the books as its deletion left them: a write refused
    // to the second command leaves them so.
    std::function<QStringList()> snapshot;
    QStringList betweenCommands;

private:
    QSqlRecord retypeBillDate(ApartmentsForm &form, int apid, int recid, const char *field, const QDate &day);
    void postedBeforeEditing(int apid, int chargesBefore);
    void expect(bool holds, const QString &what)
    {
        if (!holds)
            broken << what;
    }

    XDataSource *hub;
    LeaseDays &days;
    QStringList &broken;
};

#endif // LEASEDRIVER_H
