#ifndef SELDIALOGBASE_H
#define SELDIALOGBASE_H

#include <QDialog>
#include <QMap>
#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QSqlRecord;
class QStringListModel;
class QTableView;
class QTimer;
class XDataSource;

// What the four pickers share: a searchable list in the hub's select query model, and OK only on a
// chosen row. Each picker gives its statement, search fields and columns, and keeps what it returns.
class SelDialogBase : public QDialog
{
    Q_OBJECT

public:
    explicit SelDialogBase(XDataSource *dataSource, QWidget *parent = nullptr);
    ~SelDialogBase() override;

public slots:
    void accept() override;
    void on_pushButton_7_clicked();

protected:
    struct Setup
    {
        QString title;
        QStringList fieldLabels;
        QStringList searchColumns; // one per label, as the statement names it
        QString baseQuery;
        QList<int> hiddenColumns;
        QMap<int, QString> headers;
    };
    // Called once by the picker's constructor with its form: builds the form on this dialog and sets
    // the picker up on it. The four forms share their widgets' names.
    template <class Form>
    void setupPicker(Form *form, const Setup &setup)
    {
        form->setupUi(this);
        setupPicker(form->comboBox, form->lineEdit, form->tableView, setup);
    }

    // Keeps what the picker returns from the chosen row.
    virtual void takeResult(const QSqlRecord &record) = 0;

    XDataSource *dataSource;

private:
    void setupPicker(QComboBox *comboBox, QLineEdit *lineEdit, QTableView *tableView, const Setup &setup);
    // The list for the Criteria text as it stands now.
    void search();

    QComboBox *m_comboBox = nullptr;
    QLineEdit *m_lineEdit = nullptr;
    QTableView *m_tableView = nullptr;
    QStringListModel *m_fieldModel = nullptr;
    QTimer *m_searchTimer = nullptr;
    QStringList m_searchColumns;
    QString m_baseQuery;
};

#endif // SELDIALOGBASE_H
