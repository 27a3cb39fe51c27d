#ifndef PETDIALOG_H
#define PETDIALOG_H

#include <QDialog>

namespace Ui {
class PetDialog;
}

// One pet of a tenant; like the vehicle editor it only exchanges values with the tenant editor.
class PetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PetDialog(QWidget *parent = nullptr);
    ~PetDialog() override;

    void setName(const QString &name, const QString &comment);
    void readFields(QString &name, QString &comment) const;

public slots:
    void accept() override;

private:
    Ui::PetDialog *ui;
};

#endif // PETDIALOG_H
