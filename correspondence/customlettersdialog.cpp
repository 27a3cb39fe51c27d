#include "correspondence/customlettersdialog.h"
#include "ui_customlettersdialog.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/textfold.h"
#include "correspondence/lettersdialog.h"
#include "datahub/xdatasource.h"
#include "reports/fetchall.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {
// The two letters the Letters menu opens by their keys are never listed here; every other letter,
// the delivered renewal notice among them, is opened from this list.
bool openedFromTheMenu(int letterKey)
{
    return letterKey == LettersDialog::LateRentLetter || letterKey == LettersDialog::RentalAgreementLetter;
}
}

CustomLettersDialog::CustomLettersDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomLettersDialog)
    , m_data(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Custom Letters"));

    QSuperSqlTableModel *letters = m_data->lettersModel();
    letters->setFilter(QString());
    letters->select();
    const int rows = fetchAllRows(letters);
    QStringList titles;
    for (int row = 0; row < rows; ++row) {
        const QSqlRecord record = letters->record(row);
        if (openedFromTheMenu(record.value(0).toInt()))
            continue;
        const QString title = record.value(QStringLiteral("title")).toString();
        titles << title;
        m_keys[title] = record.value(0).toInt();
    }

    m_titles = new QStringListModel(titles, this);
    m_titles->sort(0, Qt::AscendingOrder);
    ui->listView->setModel(m_titles);
    ui->listView->setFocus();
}

CustomLettersDialog::~CustomLettersDialog()
{
    delete ui;
}

void CustomLettersDialog::sortList()
{
    m_titles->sort(0, Qt::AscendingOrder);
}

bool CustomLettersDialog::titleTaken(const QString &title, int exceptKey)
{
    QSqlQuery *query = m_data->query();
    query->clear();
    query->prepare(QStringLiteral("select title from letters where %1 and lid <> ?")
                       .arg(TextFold::sameText(QStringLiteral("letters"), QStringLiteral("title"))));
    query->addBindValue(title);
    query->addBindValue(exceptKey);
    const bool taken = query->exec() && query->first();
    query->clear();
    return taken;
}

bool CustomLettersDialog::writeInTransaction(const QString &sql, const QVariantList &values)
{
    QSqlDriver *driver = QSqlDatabase::database().driver();
    if (!driver->beginTransaction())
        return false;
    QSqlQuery *query = m_data->query();
    query->clear();
    bool written = query->prepare(sql);
    for (const QVariant &value : values)
        query->addBindValue(value);
    written = written && query->exec();
    query->clear();
    if (written && driver->commitTransaction())
        return true;
    driver->rollbackTransaction();
    return false;
}

void CustomLettersDialog::on_pushButton_clicked()
{
    const QString title = ui->lineEdit->text().trimmed();
    if (title.isEmpty())
        return;
    // No letter has key 0, so the test takes in every letter.
    if (titleTaken(title, 0)) {
        MsgBox::information(this, tr("The title you entered already exists. Enter a new title!"));
        return;
    }

    QSuperSqlTableModel *letters = m_data->lettersModel();
    const int row = letters->rowCount();
    if (!letters->insertRow(row)) {
        MsgBox::information(this, tr("Unable to create new custom letter!"));
        return;
    }

    QSqlQuery *query = m_data->query();
    query->clear();
    if (!query->exec(QStringLiteral("select gen_id(GEN_LETTERS_ID, 1) from RDB$DATABASE")) || !query->first()) {
        query->clear();
        letters->revertRow(row);
        MsgBox::information(this, tr("database error"));
        return;
    }
    const int key = query->value(0).toInt();
    query->clear();

    XDataSource::setCellValue(letters, 0, row, key);
    XDataSource::setCellValue(letters, 1, row, title);
    if (!letters->submitRowInView(row, true, false, nullptr)) {
        MsgBox::information(this, tr("Unable to create new custom letter!"));
        return;
    }

    m_keys[title] = key;
    const int listRow = m_titles->rowCount();
    m_titles->insertRow(listRow);
    m_titles->setData(m_titles->index(listRow), title);
    ui->lineEdit->clear();
    sortList();
}

void CustomLettersDialog::on_pushButton_4_clicked()
{
    close();
}

void CustomLettersDialog::on_pushButton_3_clicked()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("No Item has been selected!"));
        return;
    }
    const QString title = current.data().toString();
    const int key = m_keys.value(title);
    if (MsgBox::question(this, tr("Are you sure you want to delete the letter. You will not be able to undo this "
                                  "action."))
        != QMessageBox::Yes)
        return;

    if (!writeInTransaction(QStringLiteral("delete from letters where lid = ?"), {key})) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    m_keys.remove(title);
    m_titles->removeRow(current.row());
    QSuperSqlTableModel *letters = m_data->lettersModel();
    letters->setFilter(letters->filter());
}

void CustomLettersDialog::on_listView_clicked(const QModelIndex &index)
{
    const QString title = index.data().toString();
    qCDebug(velloranLog) << QStringLiteral("Title and id %1 %2").arg(title).arg(m_keys.value(title));
}

void CustomLettersDialog::on_pushButton_2_clicked()
{
    const QModelIndex current = ui->listView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("No Item has been selected!"));
        return;
    }
    m_selected = m_keys.value(current.data().toString());
    // The letter is edited over the list, which stays open for the next letter however the editor
    // is left.
    LettersDialog editor(m_data, m_selected, this);
    editor.setPrinter(m_printer);
    editor.exec();
    // The editor keeps the letters filtered on its own letter; the list works on all of them.
    m_data->lettersModel()->setFilter(QString());
}

void CustomLettersDialog::on_pushButton_5_clicked()
{
    const QString newTitle = ui->lineEdit->text().trimmed();
    if (newTitle.isEmpty())
        return;
    const QModelIndex current = ui->listView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("No Item has been selected!"));
        return;
    }
    const QString oldTitle = current.data().toString();
    const int key = m_keys.value(oldTitle);
    if (newTitle == oldTitle)
        return;
    if (titleTaken(newTitle, key)) {
        MsgBox::information(this, tr("The title you entered already exists. Enter a new title!"));
        return;
    }

    if (!writeInTransaction(QStringLiteral("update letters set title=? where lid = ?"), {newTitle, key})) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    m_keys.remove(oldTitle);
    m_keys[newTitle] = key;
    m_titles->setData(current, newTitle);

    m_data->lettersModel()->select();
    ui->lineEdit->clear();
    sortList();
}

void CustomLettersDialog::on_listView_doubleClicked(const QModelIndex &)
{
    on_pushButton_2_clicked();
}
