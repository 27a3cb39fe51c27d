#ifndef LETTERSDIALOG_H
#define LETTERSDIALOG_H

#include <QDialog>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class QAction;
class QFont;
class QPrinter;
class QStringListModel;
class XDataSource;

namespace Ui {
class LettersDialog;
}

// The letter editor: one row of LETTERS, a rich-text letter whose merge fields are typed as
// "<<<field name>>>" and filled for each tenant when the letter is printed.
class LettersDialog : public QDialog
{
    Q_OBJECT

public:
    // The fixed letters; any other key is a custom letter.
    enum { LateRentLetter = 1, RentalAgreementLetter = 2 };

    LettersDialog(XDataSource *dataSource, int letterKey, QWidget *parent = nullptr);
    ~LettersDialog() override;

    void setPrinter(QPrinter *printer) { m_printer = printer; }
    QPrinter *printer() const { return m_printer; }

    // Writes the editor's text into the letter's row. False, after telling the user, when the row
    // could not be written; the editor keeps the text either way.
    bool saveLetter();

    // The text a merge field stands as in the stored HTML.
    static QString mergeKey(const QString &fieldName);
    // The merge fields, in the order of the field box, untranslated.
    static QStringList fieldNames();
    // Fills the merge fields of `html` for one tenant. A tenant key without a tenant leaves the
    // letter as it is.
    void mergeLetter(int tenantKey, QString &html);

    // Lets the user tick tenants and prints the letter once for each, through a preview.
    void printForTenants();

    // Escape, Cancel and the window's close button: text typed since the letter was opened or last
    // saved is thrown away only when the user says so; otherwise the editor stays open with it.
    void reject() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_boldtbtn_toggled(bool checked);
    void on_Underlinebtn_toggled(bool checked);
    void on_Italicbtn_toggled(bool checked);
    void on_textleftbtn_clicked();
    void on_textcenterbtn_clicked();
    void on_textrightbtn_triggered(QAction *action);
    void on_textjustifybtn_clicked();
    void on_textEdit_cursorPositionChanged();
    void on_fontComboBox_activated(const QString &family);
    void on_pointcombo_activated(int index);
    void on_fontComboBox_currentFontChanged(const QFont &font);
    void on_textrightbtn_clicked(bool checked);
    void on_pushButton_5_clicked();

private:
    // The values of the fields that can be filled for the tenant, by field number, already escaped
    // for HTML. Fields left out stay as typed.
    QMap<int, QString> fieldValues(int tenantKey);
    void setAlignment(Qt::Alignment alignment);
    // Merges the letter for each tenant and shows the letters, one after another, in the preview of
    // the shared printer.
    void printLetters(const QVector<int> &tenantKeys);

    Ui::LettersDialog *ui;
    XDataSource *m_data;
    int m_letterKey;
    QStringListModel *m_fieldModel = nullptr;
    QStringList m_fieldNames;
    QPrinter *m_printer = nullptr;
};

#endif // LETTERSDIALOG_H
