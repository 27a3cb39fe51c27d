#ifndef VEHICLEDIALOG_H
#define VEHICLEDIALOG_H

#include <QDialog>

namespace Ui {
class VehicleDialog;
}

// One vehicle of a tenant. The tenant editor puts the values in, reads them back after OK and writes
// the row itself.
class VehicleDialog : public QDialog
{
    Q_OBJECT

public:
    explicit VehicleDialog(QWidget *parent = nullptr);
    ~VehicleDialog() override;

    void setFields(const QString &make, const QString &model, const QString &number);
    void readFields(QString &make, QString &model, QString &number) const;

public slots:
    void accept() override;

private:
    Ui::VehicleDialog *ui;
};

#endif // VEHICLEDIALOG_H
