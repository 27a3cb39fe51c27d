#ifndef REPORTCHOICES_H
#define REPORTCHOICES_H

#include <QDate>
#include <QString>

class QWidget;
class XDataSource;

// The questions a report command asks before it prints, each one modal dialog created for that one
// question and deleted once read. Every function returns false when the user cancels; the command
// then stops without a word.
namespace ReportChoices {

// The owners; an empty clause when the user chose all owners.
bool owners(XDataSource *dataSource, QWidget *parent, QString &ownersClause);
// The owners, then the buildings among theirs: the buildings clause. `everyBuilding`, when given,
// tells whether the user chose all owners and then every building of the office.
bool ownersAndBuildings(XDataSource *dataSource, QWidget *parent, QString &buildingsClause,
                        bool *everyBuilding = nullptr);
bool dateRange(QWidget *parent, QDate &from, QDate &to);
// The period, then the owners and their buildings, as the money reports ask them. With every building
// of the office chosen the clause also keeps the money of no building (the office's own entries),
// so that the report adds up to the office's books.
bool periodAndBuildings(XDataSource *dataSource, QWidget *parent, QDate &from, QDate &to, QString &buildingsClause);
// The maintenance statuses; an empty clause for every status.
bool maintenanceStatus(QWidget *parent, QString &statusClause);
bool tenant(XDataSource *dataSource, QWidget *parent, int &tenantId);
bool apartment(XDataSource *dataSource, QWidget *parent, int &apartmentId, QString &building, QString &suite);
bool vendor(XDataSource *dataSource, QWidget *parent, int &vendorId, QString &name, QString &type);

// Loads the report's rows into the hub's report query model. A statement the database refuses is
// shown to the user with the database's text, and false is returned: no empty report is printed.
// While a report runs, its rows stay as they are and false is returned. The rows go once the report
// printed from them is over.
bool loadRows(XDataSource *dataSource, QWidget *parent, const QString &sql);

} // namespace ReportChoices

#endif // REPORTCHOICES_H
