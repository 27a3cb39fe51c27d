#ifndef TENANTDIALOG_H
#define TENANTDIALOG_H

#include "datahub/recorddialogbase.h"

#include <QDate>
#include <QModelIndex>
#include <QVariantList>

class QStringListModel;
class QSuperSqlTableModel;
class QTableView;
class XDataSource;

namespace Ui {
class TenantDialog;
}

// The editor of one tenant: a row of the tenants model, and the tenant's vehicles, pets, occupants and
// wait-list entry. The tenant's own fields go into the model row only; the other rows are written at
// once, inside the transaction that the tenants page holds while this editor is open, so that they are
// kept or dropped together with the tenant.
class TenantDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    TenantDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~TenantDialog() override;

    // "M/YY" (one or two digits for the month) as the first day of that month of 20YY; false, with
    // `date` untouched, for any other text or a month outside 1 to 12. The text is trimmed in place.
    static bool parseCardExpiry(QDate &date, QString &text);
    // The text parseCardExpiry reads back as the same month; empty for the date that stands for none.
    static QString cardExpiryText(const QDate &date);

    int tenantKey() const { return key; }

public slots:
    void accept() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_tableView_2_doubleClicked(const QModelIndex &index);
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_8_clicked();
    void on_tableView_3_doubleClicked(const QModelIndex &index);
    void on_pushButton_9_clicked();

private:
    // One of the three lists of the "Other" tab: its shared model, its view, and what to say when no
    // row of it is current.
    struct SubTable
    {
        QSuperSqlTableModel *model;
        QTableView *view;
        QString noneSelected;
    };
    SubTable vehicles() const;
    SubTable pets() const;
    SubTable occupants() const;

    void setUpSubTable(const SubTable &table, const QList<int> &shown, const QList<int> &widths);
    // Without a key the rows would belong to no tenant, so nothing is written until there is one.
    bool haveKey();
    void showRowsOfTenant(const SubTable &table);
    bool currentSubRow(const SubTable &table, int &row);
    QVariantList subRowValues(const SubTable &table, int row, int count) const;
    void addSubRow(const SubTable &table, const QVariantList &values);
    void updateSubRow(const SubTable &table, int row, const QVariantList &values);
    void deleteSubRow(const SubTable &table);
    bool addToWaitList();

    void editVehicle();
    void editPet();
    void editOccupant();

    Ui::TenantDialog *ui;
    QStringListModel *periodModel;
    int row;
    int key = -1;
    QString openingId;
};

#endif // TENANTDIALOG_H
