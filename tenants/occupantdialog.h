#ifndef OCCUPANTDIALOG_H
#define OCCUPANTDIALOG_H

#include <QDate>
#include <QDialog>

namespace Ui {
class OccupantDialog;
}

// One person living with a tenant; exchanges its values with the tenant editor, which writes the row.
class OccupantDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OccupantDialog(QWidget *parent = nullptr);
    ~OccupantDialog() override;

    void setFields(const QString &name, const QString &relationship, const QString &ssn, const QDate &dob,
                   const QString &comment);
    void readFields(QString &name, QString &relationship, QString &ssn, QDate &dob, QString &comment) const;

public slots:
    void accept() override;

private:
    Ui::OccupantDialog *ui;
};

#endif // OCCUPANTDIALOG_H
