#ifndef APARTMENTSFORM_H
#define APARTMENTSFORM_H

#include <QModelIndex>
#include <QString>
#include <QWidget>

class QPrinter;
class QSqlRecord;
class QStringListModel;
class QTimer;
class QTreeWidgetItem;
class ScopedTransaction;
class XDataSource;

namespace Ui {
class ApartmentsForm;
}

// The apartments page of the work area: the owners and their buildings in a tree that narrows the
// apartments list, the recurring bills of the current apartment, and the apartment editor. Several
// writes that belong together run in one transaction of the page's own on the default connection.
class ApartmentsForm : public QWidget
{
    Q_OBJECT

public:
    ApartmentsForm(XDataSource *dataSource, QPrinter *printer, QWidget *parent = nullptr);
    ~ApartmentsForm() override;

    QPrinter *printer() const { return sharedPrinter; }
    void setPrinter(QPrinter *printer) { sharedPrinter = printer; }

    void fillOwnersTree();
    void reloadModels(int apid);
    void runApartmentsDialog(const QModelIndex &index, int buildingId, int ownerId, ScopedTransaction &transaction);
    QModelIndex createAgreementRow(int apid, int tid, double rent);
    void editRecurringBill(bool isNew);

public slots:
    void refreshBuildings();
    void refreshApartments();
    void onIndexChanged(const QModelIndex &index);

    void on_pushButton_9_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_14_clicked();
    void on_pushButton_8_clicked();
    void on_treeWidget_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_treeWidget_customContextMenuRequested(const QPoint &position);
    void on_pushButton_15_clicked();
    void on_action_Refresh_triggered();
    void on_pushButton_11_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_tableView_2_doubleClicked(const QModelIndex &index);
    void on_pushButton_7_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void rerunList();
    void selectApartment(int apid);
    int currentApid() const;
    bool currentApartment(QSqlRecord &apartment);
    bool agreementExists(int agreeid);
    bool goOnWithoutAgreement(int agreeid);
    // The tree node with these keys (the top node for owner -1), or null when there is none.
    QTreeWidgetItem *treeNode(int ownerId, int buildingId) const;
    // Makes the node current (none when null) without narrowing the list.
    void markTreeNode(QTreeWidgetItem *node);
    // Marks the node and shows its apartments, also when it was already current.
    void showTreeNode(QTreeWidgetItem *node);
    void narrowTo(QTreeWidgetItem *node);
    // The list for the Criteria text as it stands now.
    void search();

    Ui::ApartmentsForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
    QTimer *searchTimer;
    QString baseQuery;
    bool refreshing = false;
    // What the list shows: the apartments of the tree node with these keys, or, while false, the result
    // of a search.
    bool listFollowsTree = true;
    int listOwner = -1;
    int listBuilding = -1;
    QPrinter *sharedPrinter;
};

#endif // APARTMENTSFORM_H
