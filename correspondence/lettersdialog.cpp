#include "correspondence/lettersdialog.h"
#include "ui_lettersdialog.h"

#include "correspondence/printlistdialog.h"
#include "datahub/msgbox.h"
#include "datahub/qsqldoublequerymodel.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "reports/tibernereport.h"

#include <QAbstractTextDocumentLayout>
#include <QException>
#include <QIntValidator>
#include <QLocale>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>
#include <QTextDocument>
#include <QTextFrame>
#include <QTime>

#include <memory>

namespace {

// The merge fields by number, in the order of the field box.
enum Field {
    FirstTenantField = 0, // 0 to 12: the tenant's own columns
    FirstLeaseField = 13, // 13 to 15 text, 16 to 19 dates, 20 to 23 money
    FirstLeaseDate = 16,
    FirstLeaseMoney = 20,
    NextRent = 24,
    LastPaymentDate = 25,
    ThisMonthRentDue = 26,
    FullDate = 27,
    FullDateWithWeekday = 28,
    MonthName = 29,
    YearNumber = 30,
    TimeOfDay = 31,
    ShortDateField = 32,
    OtherChargesDue = 33,
    AllChargesDue = 34,
    FirstOwnerField = 35, // 35 to 42
    FieldCount = 43
};

const char *const kFieldNames[FieldCount] = {
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant firstname"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant lastname"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant fullname"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Address"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant city"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant State"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant zip/postal code"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant ID"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Company"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Tel"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Email"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Driver's License"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant SSN"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Building Description"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Building Address"),
    QT_TRANSLATE_NOOP("LettersDialog", "Tenant Apartment"),
    QT_TRANSLATE_NOOP("LettersDialog", "Move In Date"),
    QT_TRANSLATE_NOOP("LettersDialog", "Move Out Date"),
    QT_TRANSLATE_NOOP("LettersDialog", "Lease Start"),
    QT_TRANSLATE_NOOP("LettersDialog", "Lease End"),
    QT_TRANSLATE_NOOP("LettersDialog", "Rent"),
    QT_TRANSLATE_NOOP("LettersDialog", "Lease/Damage Deposit"),
    QT_TRANSLATE_NOOP("LettersDialog", "Late Fee Base Rate"),
    QT_TRANSLATE_NOOP("LettersDialog", "Late Fee Per Day"),
    QT_TRANSLATE_NOOP("LettersDialog", "Next Rent"),
    QT_TRANSLATE_NOOP("LettersDialog", "Last Payment Date"),
    QT_TRANSLATE_NOOP("LettersDialog", "This Month Rent Due"),
    QT_TRANSLATE_NOOP("LettersDialog", "Full Date"),
    QT_TRANSLATE_NOOP("LettersDialog", "Full Date With Weekday"),
    QT_TRANSLATE_NOOP("LettersDialog", "Month"),
    QT_TRANSLATE_NOOP("LettersDialog", "Year"),
    QT_TRANSLATE_NOOP("LettersDialog", "HH:MM am/pm"),
    QT_TRANSLATE_NOOP("LettersDialog", "short date"),
    QT_TRANSLATE_NOOP("LettersDialog", "This Month Other Charges Due"),
    QT_TRANSLATE_NOOP("LettersDialog", "This Month All Charges Due"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner fullname"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner Address"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner city"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner State"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner zip/postal code"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner Code"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner Tel"),
    QT_TRANSLATE_NOOP("LettersDialog", "Owner Email"),
};

const int kDefaultPointSize = 11;

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString().toHtmlEscaped();
}

QString date(const QVariant &value)
{
    return value.isNull() ? QString() : ShortDate::toText(value.toDate()).toHtmlEscaped();
}

QString money(const QVariant &value)
{
    return QStringLiteral("%L1").arg(value.toDouble(), 0, 'f', 2).toHtmlEscaped();
}

// Runs one statement of the merge on the hub's shared query with the values bound; true when it gave
// a row, which is then the query's current row. A statement that fails counts as one without rows.
bool firstRow(QSqlQuery *query, const QString &sql, const QVariantList &values)
{
    query->clear();
    if (!query->prepare(sql))
        return false;
    for (const QVariant &value : values)
        query->addBindValue(value);
    return query->exec() && query->first();
}

// Lays out a merged letter on the printer's page: the page as QTextDocument::print would use it, with
// a margin of two centimetres.
std::unique_ptr<QTextDocument> pageDocument(const QString &html, QPrinter *printer)
{
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(printer);
    document->setHtml(html);
    const qreal margin = 2.0 / 2.54 * printer->logicalDpiY();
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setMargin(margin);
    document->rootFrame()->setFrameFormat(frame);
    document->setPageSize(printer->pageLayout().paintRectPixels(printer->resolution()).size());
    return document;
}

// Every letter starts on a page of its own, and all of them go in one print job: as separate jobs,
// each letter would overwrite the one before when the printer writes to a file.
void paintLetters(QPrinter *printer, const QStringList &letters)
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    bool firstPage = true;
    for (const QString &html : letters) {
        std::unique_ptr<QTextDocument> document = pageDocument(html, printer);
        const QSizeF page = document->pageSize();
        for (int number = 0; number < document->pageCount(); ++number) {
            if (!firstPage)
                printer->newPage();
            firstPage = false;
            painter.save();
            painter.translate(0, -number * page.height());
            document->drawContents(&painter, QRectF(QPointF(0, number * page.height()), page));
            painter.restore();
        }
    }
    painter.end();
}

} // namespace

LettersDialog::LettersDialog(XDataSource *dataSource, int letterKey, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LettersDialog)
    , m_data(dataSource)
    , m_letterKey(letterKey)
{
    ui->setupUi(this);

    QSqlTableModel *letters = m_data->lettersModel();
    letters->setFilter(QStringLiteral("Lid = %1").arg(m_letterKey));
    const QSqlRecord record = letters->record(0);
    const QString body = record.value(QStringLiteral("body")).toString();
    const QString title = record.value(QStringLiteral("title")).toString();

    if (m_letterKey == LateRentLetter) {
        setWindowTitle(tr("Late Rent/Bills Letter"));
        ui->lineEdit->setText(tr("Late Rent/Bills Letter"));
    } else if (m_letterKey == RentalAgreementLetter) {
        setWindowTitle(tr("Rental Agreement"));
        ui->lineEdit->setText(tr("Rental Agreement"));
    } else {
        setWindowTitle(tr("Custom Letter"));
        ui->lineEdit->setText(title);
    }

    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        ui->pointcombo->addItem(QString::number(size));
    ui->pointcombo->setCurrentText(QString::number(kDefaultPointSize));
    ui->pointcombo->setValidator(new QIntValidator(8, 72, ui->pointcombo));

    ui->textEdit->setHtml(body);
    ui->textEdit->setFontFamily(ui->fontComboBox->currentText());
    ui->textEdit->setFontPointSize(kDefaultPointSize);
    ui->textEdit->setFontWeight(QFont::Normal);

    for (const char *name : kFieldNames)
        m_fieldNames << tr(name);
    m_fieldModel = new QStringListModel(m_fieldNames, this);
    ui->fieldCombo->setModel(m_fieldModel);
    ui->fieldCombo->setCurrentIndex(0);
    ui->textEdit->document()->setModified(false);
    ui->textEdit->setFocus();
}

LettersDialog::~LettersDialog()
{
    delete ui;
}

QString LettersDialog::mergeKey(const QString &fieldName)
{
    return (QStringLiteral("<<<") + fieldName + QStringLiteral(">>>")).toHtmlEscaped();
}

QStringList LettersDialog::fieldNames()
{
    QStringList names;
    for (const char *name : kFieldNames)
        names << QString::fromLatin1(name);
    return names;
}

bool LettersDialog::saveLetter()
{
    QSuperSqlTableModel *letters = m_data->lettersModel();
    const QString html = ui->textEdit->toHtml();
    const bool saved = letters->rowCount() > 0
                       && XDataSource::setFieldValue(letters, QStringLiteral("body"), 0, html)
                       && letters->submitRowInView(0, true, false, nullptr);
    // The model has reverted a row it could not write; the text stays in the editor to try again.
    if (saved)
        ui->textEdit->document()->setModified(false);
    else
        MsgBox::information(this, tr("Unable to submit data"));
    return saved;
}

void LettersDialog::reject()
{
    if (ui->textEdit->document()->isModified()
        && MsgBox::question(this, tr("The letter has changes that are not saved. Do you want to discard them?"))
               != QMessageBox::Yes)
        return;
    QDialog::reject();
}

QMap<int, QString> LettersDialog::fieldValues(int tenantKey)
{
    QMap<int, QString> values;
    QSqlQuery *query = m_data->query();
    const QDate today = Today::date();
    const QString rentType = tr("rent");

    if (!firstRow(query,
                  QStringLiteral("select firstname, lastname, firstname||' '||lastname as fullname, Address, city, "
                                 "State, postalcode, ID, Company, Tel, dat1, driverslicense, insurenum "
                                 "from tenants where tid=?"),
                  {tenantKey})) {
        query->clear();
        return values;
    }
    for (int column = 0; column < FirstLeaseField; ++column)
        values[FirstTenantField + column] = text(query->value(column));

    if (firstRow(query,
                 QStringLiteral("select b.Description, b.Address, a.suite, g.movein, g.moveout, g.leasestart, "
                                "g.LeaseEnd, g.Rent, g.damage, g.latefee, g.perday  from apartments a "
                                "inner join buildings b on a.bid = b.buildid  left join agreements g  "
                                "on g.rid = a.agreeid  where a.tid=?"),
                 {tenantKey})) {
        for (int field = FirstLeaseField; field < NextRent; ++field) {
            const QVariant value = query->value(field - FirstLeaseField);
            if (field < FirstLeaseDate)
                values[field] = text(value);
            else if (field < FirstLeaseMoney)
                values[field] = date(value);
            else
                values[field] = value.isNull() ? QStringLiteral("-") : money(value);
        }
    }

    // A rent bill stopped with an earlier lease keeps its last date; the running one comes first.
    if (firstRow(query, QStringLiteral("select nextdate from recur where tid=? and lower(type)=? and deletedon is null order "
                                       "by completed"),
                 {tenantKey, rentType}))
        values[NextRent] = date(query->value(0));

    values[LastPaymentDate] =
        firstRow(query, QStringLiteral("select tdate from trans where tid=? order by tdate desc"), {tenantKey})
            ? date(query->value(0))
            : QString();

    const QString thisMonth = QStringLiteral("select sum(amt) from charges where tid=? "
                                             "and extract(month from fordate)=? and extract(year from fordate)=?");
    const QVariantList monthValues = {tenantKey, today.month(), today.year()};

    // The rent of the month is the sum of its rent charges, the counterpart of the other charges below;
    // a month without a rent charge leaves the field empty.
    if (firstRow(query, thisMonth + QStringLiteral(" and lower(type) = ?"), monthValues + QVariantList{rentType})
        && !query->value(0).isNull())
        values[ThisMonthRentDue] = money(query->value(0));
    else
        values[ThisMonthRentDue] = QString();

    const QLocale system = QLocale::system();
    values[FullDate] = QLocale().toString(today, QLocale::LongFormat).toHtmlEscaped();
    values[FullDateWithWeekday] = system.toString(today, QLocale::LongFormat).toHtmlEscaped();
    values[MonthName] = today.toString(QStringLiteral("MMMM")).toHtmlEscaped();
    values[YearNumber] = QString::number(today.year());
    values[TimeOfDay] = QTime::currentTime().toString(QStringLiteral("hh:mm AP")).toHtmlEscaped();
    values[ShortDateField] = ShortDate::toText(today).toHtmlEscaped();

    if (firstRow(query, thisMonth + QStringLiteral(" and lower(type) <> ?"), monthValues + QVariantList{rentType}))
        values[OtherChargesDue] = money(query->value(0));
    if (firstRow(query, thisMonth, monthValues))
        values[AllChargesDue] = money(query->value(0));

    if (firstRow(query,
                 QStringLiteral("select o.name, o.address, o.city,  o.state, o.zip, o.Code, o.Tel,  o.Email  "
                                "from apartments a inner join buildings b on a.bid = b.buildid  "
                                "inner join owners o  on o.oid = b.oid  where a.tid=?"),
                 {tenantKey})) {
        for (int field = FirstOwnerField; field < FieldCount; ++field)
            values[field] = text(query->value(field - FirstOwnerField));
    }

    query->clear();
    return values;
}

void LettersDialog::mergeLetter(int tenantKey, QString &html)
{
    const QMap<int, QString> values = fieldValues(tenantKey);
    if (values.isEmpty())
        return;

    // The delivered late-rent letter names the date of the last payment in a sentence of its own; for a
    // tenant who never paid, that sentence says so instead of naming no date.
    if (values.value(LastPaymentDate).isEmpty()) {
        const QString sentence =
            tr("Your last payment was received on %1.").arg(mergeKey(m_fieldNames.at(LastPaymentDate)));
        html.replace(sentence, tr("No payment has been received from you.").toHtmlEscaped(), Qt::CaseInsensitive);
    }

    // One pass over the letter, so that a value that happens to read like a merge field (a company
    // named "<<<Rent>>>") is printed as it stands and not filled in turn.
    QHash<QString, QString> byKey;
    QStringList patterns;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const QString key = mergeKey(m_fieldNames.at(it.key()));
        byKey.insert(key.toLower(), it.value());
        patterns << QRegularExpression::escape(key);
    }
    const QRegularExpression keys(patterns.join(QLatin1Char('|')), QRegularExpression::CaseInsensitiveOption);

    QString merged;
    int done = 0;
    QRegularExpressionMatchIterator matches = keys.globalMatch(html);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        merged += html.midRef(done, match.capturedStart() - done);
        merged += byKey.value(match.captured().toLower());
        done = match.capturedEnd();
    }
    merged += html.midRef(done);
    html = merged;
}

void LettersDialog::printForTenants()
{
    QSqlDoubleQueryModel *tenants = m_data->reportQueryModel();
    tenants->clear();
    tenants->setQuery(QStringLiteral("select tid, id, company, firstname||' '||lastname as fullname from tenants "));
    if (tenants->rowCount() == 0) {
        MsgBox::information(this, tr("There are no tenants!"));
        tenants->clear();
        return;
    }

    QVector<int> keys;
    {
        PrintListDialog list(m_data, this);
        if (list.exec() != QDialog::Accepted)
            return;
        keys = list.checkedTenantIds();
    }
    printLetters(keys);
}

void LettersDialog::printLetters(const QVector<int> &tenantKeys)
{
    if (tenantKeys.isEmpty())
        return;
    QStringList letters;
    try {
        const QString html = ui->textEdit->toHtml();
        for (int key : tenantKeys) {
            QString copy = html;
            mergeLetter(key, copy);
            letters << copy;
        }
    } catch (const QException &) {
        MsgBox::information(this, tr("An error occured"));
        return;
    }

    QPrinter fallback(QPrinter::ScreenResolution);
    QPrinter *printer = m_printer ? m_printer : &fallback;

    const QString pdf = TiberneReport::pdfOutputPathForTests();
    if (!pdf.isEmpty()) {
        QPrinter file(QPrinter::ScreenResolution);
        file.setOutputFormat(QPrinter::PdfFormat);
        file.setOutputFileName(pdf);
        file.setPageLayout(printer->pageLayout());
        paintLetters(&file, letters);
        return;
    }

    QPrintPreviewDialog preview(printer, this);
    preview.setWindowTitle(windowTitle());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&letters](QPrinter *target) { paintLetters(target, letters); });
    preview.exec();
}

// ---- slots

void LettersDialog::on_pushButton_clicked()
{
    saveLetter();
}

void LettersDialog::on_pushButton_2_clicked()
{
    if (!saveLetter())
        return;
    m_data->lettersModel()->setFilter(QString());
    accept();
}

void LettersDialog::on_pushButton_3_clicked()
{
    reject();
}

void LettersDialog::on_pushButton_4_clicked()
{
    if (saveLetter())
        printForTenants();
}

void LettersDialog::on_boldtbtn_toggled(bool checked)
{
    ui->textEdit->setFontWeight(checked ? QFont::Bold : QFont::Normal);
}

void LettersDialog::on_Underlinebtn_toggled(bool checked)
{
    ui->textEdit->setFontUnderline(checked);
}

void LettersDialog::on_Italicbtn_toggled(bool checked)
{
    ui->textEdit->setFontItalic(checked);
}

void LettersDialog::setAlignment(Qt::Alignment alignment)
{
    ui->textleftbtn->setChecked(alignment == Qt::AlignLeft);
    ui->textcenterbtn->setChecked(alignment == Qt::AlignCenter);
    ui->textjustifybtn->setChecked(alignment == Qt::AlignJustify);
    ui->textrightbtn->setChecked(alignment == Qt::AlignRight);
    ui->textEdit->setAlignment(alignment);
}

void LettersDialog::on_textleftbtn_clicked()
{
    setAlignment(Qt::AlignLeft);
}

void LettersDialog::on_textcenterbtn_clicked()
{
    setAlignment(Qt::AlignCenter);
}

void LettersDialog::on_textrightbtn_triggered(QAction *)
{
    setAlignment(Qt::AlignRight);
}

void LettersDialog::on_textjustifybtn_clicked()
{
    setAlignment(Qt::AlignJustify);
}

void LettersDialog::on_textrightbtn_clicked(bool)
{
    setAlignment(Qt::AlignRight);
}

void LettersDialog::on_textEdit_cursorPositionChanged()
{
    // The tools only show the format at the cursor. Their signals stay quiet meanwhile, or showing it
    // would apply it to the whole selection.
    const QSignalBlocker blockers[] = {QSignalBlocker(ui->textleftbtn),  QSignalBlocker(ui->textcenterbtn),
                                       QSignalBlocker(ui->textjustifybtn), QSignalBlocker(ui->textrightbtn),
                                       QSignalBlocker(ui->Italicbtn),     QSignalBlocker(ui->boldtbtn),
                                       QSignalBlocker(ui->Underlinebtn),  QSignalBlocker(ui->fontComboBox),
                                       QSignalBlocker(ui->pointcombo)};
    Q_UNUSED(blockers)

    QTextEdit *editor = ui->textEdit;
    ui->Italicbtn->setChecked(editor->fontItalic());
    ui->boldtbtn->setChecked(editor->fontWeight() != QFont::Normal);
    ui->Underlinebtn->setChecked(editor->fontUnderline());

    const Qt::Alignment alignment = editor->alignment();
    ui->textleftbtn->setChecked(alignment == Qt::AlignLeft);
    ui->textrightbtn->setChecked(alignment == Qt::AlignRight);
    ui->textjustifybtn->setChecked(alignment == Qt::AlignJustify);
    ui->textcenterbtn->setChecked(alignment == Qt::AlignCenter);

    ui->fontComboBox->setCurrentText(editor->fontFamily());
    ui->pointcombo->setCurrentText(QString::number(editor->fontPointSize(), 'g', 6));
}

void LettersDialog::on_fontComboBox_activated(const QString &)
{
    ui->textEdit->setFontFamily(ui->fontComboBox->currentText());
    ui->textEdit->setFocus();
}

void LettersDialog::on_pointcombo_activated(int)
{
    ui->textEdit->setFontPointSize(ui->pointcombo->currentText().toDouble());
    ui->textEdit->setFocus();
}

void LettersDialog::on_fontComboBox_currentFontChanged(const QFont &font)
{
    ui->textEdit->setFontFamily(font.family());
    ui->textEdit->setFocus();
}

void LettersDialog::on_pushButton_5_clicked()
{
    ui->textEdit->insertPlainText(QStringLiteral("<<<") + ui->fieldCombo->currentText() + QStringLiteral(">>>"));
    ui->textEdit->setFocus();
}
