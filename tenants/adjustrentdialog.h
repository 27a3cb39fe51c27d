#ifndef ADJUSTRENTDIALOG_H
#define ADJUSTRENTDIALOG_H

#include <QDialog>

class XDataSource;

namespace Ui {
class AdjustRentDialog;
}

// Raises or lowers rents in one step, by a percentage or an amount: the apartments' asking rents, the
// rent bills of the current agreements, or both; for every apartment, a tenant's, a building's or one.
// The dialog collects the choice; RentAdjustment works out and writes the new values.
class AdjustRentDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AdjustRentDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~AdjustRentDialog() override;

public slots:
    void accept() override;

private slots:
    void on_pushButton_clicked();
    void on_adjustSelApartment_toggled(bool checked);
    void on_adjustBuilding_toggled(bool checked);
    void on_adjustTenant_toggled(bool checked);
    void on_adjustApartments_toggled(bool checked);

private:
    enum Scope { SelectedTenant, AllApartments, SelectedApartment, Building };

    void setScope(Scope scope, bool checked);

    Ui::AdjustRentDialog *ui;
    XDataSource *dataSource;
    Scope scope = AllApartments;
    int chosenKey = -1;
};

#endif // ADJUSTRENTDIALOG_H
