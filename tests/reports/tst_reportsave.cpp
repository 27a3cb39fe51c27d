// The owners report saved from its preview where its file cannot be made as usual, and reports saved
// as HTML showing what their preview shows.
#include "datahub/qsqldoublequerymodel.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"

#include "tests/reports/pdftext.h"
#include "tests/reports/previewdriver.h"

#include <testdatabase.h>

#include <QMessageBox>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class TestReportSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saveIsWrittenOrTold_data();
    void saveIsWrittenOrTold();
    void htmlShowsNamesOnTheirBand_data();
    void htmlShowsNamesOnTheirBand();

private:
    QScopedPointer<TestDatabase> database;
};

void TestReportSave::initTestCase()
{
    database.reset(new TestDatabase(QStringLiteral("DEMO.FDB")));
    QVERIFY(database->open().isOpen());
    MsgBox::setTestMode(true);
    // A write past the file size limit fails as on a full disk, instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // What a save leaves in the temporary folder is seen there.
    QVERIFY(QDir().mkpath(TestEnvironment::root() + QStringLiteral("/tmp")));
    qputenv("TMPDIR", QFile::encodeName(TestEnvironment::root() + QStringLiteral("/tmp")));
}

void TestReportSave::saveIsWrittenOrTold_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("file");
    // "earlier": an earlier report stands in the file and the folder takes no new file beside it (a folder
    // named as the ".part" is in the way); "plain": the folder named is a plain file; "full": the disk
    // takes no more than a kilobyte of a file (the process's file size limit).
    QTest::addColumn<QString>("setting");
    // The reason told, or none when the report is written.
    QTest::addColumn<QString>("reason");

    QTest::newRow("pdf in a missing folder") << "actExpToPdf" << "missing/o.pdf" << "" << "No such file or directory";
    QTest::newRow("html in a missing folder") << "actExpToHtml" << "missing/o.html" << ""
                                              << "No such file or directory";
    QTest::newRow("pdf under a plain file") << "actExpToPdf" << "plain/o.pdf" << "plain" << "Not a directory";
    QTest::newRow("html under a plain file") << "actExpToHtml" << "plain/o.html" << "plain" << "Not a directory";
    QTest::newRow("pdf in place") << "actExpToPdf" << "o.pdf" << "earlier" << "";
    QTest::newRow("html in place") << "actExpToHtml" << "o.html" << "earlier" << "";
    QTest::newRow("print in place") << "Print" << "o.pdf" << "earlier" << "";
    QTest::newRow("pdf on a full disk") << "actExpToPdf" << "o.pdf" << "full" << "the disk may be full";
    QTest::newRow("html on a full disk") << "actExpToHtml" << "o.html" << "full" << "the disk may be full";
    QTest::newRow("print on a full disk") << "Print" << "o.pdf" << "full" << "the disk may be full";
}

void TestReportSave::saveIsWrittenOrTold()
{
    QFETCH(QString, output);
    QFETCH(QString, file);
    QFETCH(QString, setting);
    QFETCH(QString, reason);
    const QString folder = TestEnvironment::root() + QStringLiteral("/shared");
    QDir(folder).removeRecursively();
    const QString path = folder + QLatin1Char('/') + file;
    QFile earlier(setting == QLatin1String("plain") ? folder + QStringLiteral("/plain") : path);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(setting.isEmpty() || (earlier.open(QIODevice::WriteOnly) && earlier.write("earlier")));
    earlier.close();
    QVERIFY(setting != QLatin1String("earlier") || QDir().mkdir(path + QStringLiteral(".part")));
    MsgBox::clearShown();

    QSqlDoubleQueryModel model;
    model.setQuery(QStringLiteral("select o.code, o.name from owners o order by o.code"), QSqlDatabase::database());
    ModalDriver driver;
    driver.ok([output](QDialog *preview) { QVERIFY(clickPreviewButton(preview, output)); });
    if (output == QLatin1String("Print")) {
        driver.ok([path](QDialog *dialog) {
            auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
            printers->setCurrentIndex(printers->findText(QStringLiteral("Print to File (PDF)")));
            dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(path);
        });
    } else {
        driver.ok(typeFileName(path));
        // The file dialog asks before it lets a file be replaced; the print dialog does not.
        if (QFileInfo::exists(path))
            driver.ok([](QDialog *box) { qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click(); });
    }
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full = {setting == QLatin1String("full") ? 1024 : limit.rlim_cur, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    TiberneReport().printOwners(&model);
    setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(driver.unexpected + driver.stayedOpen, 0);

    const QStringList told = MsgBox::shownTexts();
    QVERIFY(QDir(TestEnvironment::root() + QStringLiteral("/tmp")).isEmpty());
    QVERIFY(earlier.open(QIODevice::ReadOnly) || setting.isEmpty());
    const QByteArray bytes = earlier.readAll();
    if (!reason.isEmpty()) {
        QVERIFY2(told.size() == 1 && told.first().contains(path + ".\n\n") && told.first().contains(reason),
                 qPrintable(told.join(QLatin1Char('|'))));
        // A file that stood there is left as it was.
        QVERIFY(setting.isEmpty() || bytes == "earlier");
        return;
    }
    QVERIFY2(told.isEmpty(), qPrintable(told.join(QLatin1Char('|'))));
    const bool html = output == QLatin1String("actExpToHtml");
    QVERIFY(!html || (bytes.startsWith("<HTML>") && bytes.endsWith("</BODY></HTML>")));
    QVERIFY((html ? QString::fromUtf8(bytes) : pdfText(path)).contains(QLatin1String("Owners Report")));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
}

namespace {

// One absolutely placed element of the saved page: its box, its fill ("transparent" for none), its
// text colour and its text.
struct PageBox
{
    QRect box;
    QString fill;
    QString colour;
    QString text;
};

QList<PageBox> pageBoxes(const QString &html)
{
    const QRegularExpression element(QStringLiteral("<div style='([^']*)'>([^<]*)</div>"));
    const auto property = [](const QString &style, const QString &name) {
        const QRegularExpression re(QStringLiteral("(?:^|;)\\s*%1:\\s*([^;]*);").arg(name));
        return re.match(style).captured(1).trimmed();
    };
    QList<PageBox> boxes;
    for (auto it = element.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString style = m.captured(1);
        PageBox box;
        box.box = QRect(property(style, "left").toInt(), property(style, "top").toInt(),
                        property(style, "width").toInt(), property(style, "height").toInt());
        box.fill = property(style, "background");
        box.colour = property(style, "color");
        box.text = m.captured(2);
        boxes << box;
    }
    return boxes;
}

// What the browser shows beneath the text of boxes[index]: its own fill, else the fill of the last
// element before it under its middle, else the white page.
QString groundOf(const QList<PageBox> &boxes, int index)
{
    if (boxes.at(index).fill != QLatin1String("transparent"))
        return boxes.at(index).fill;
    const QPoint middle = boxes.at(index).box.center();
    for (int before = index - 1; before >= 0; --before) {
        if (boxes.at(before).fill != QLatin1String("transparent") && boxes.at(before).box.contains(middle))
            return boxes.at(before).fill;
    }
    return QStringLiteral("#ffffff");
}

} // namespace

void TestReportSave::htmlShowsNamesOnTheirBand_data()
{
    QTest::addColumn<bool>("latePayments");
    // The names the report prints in white on its band, and the band's colour as the preview paints it.
    QTest::addColumn<QString>("namesSql");
    QTest::addColumn<QString>("band");

    QTest::newRow("owners") << false << "select name from owners" << "#0000ff";
    QTest::newRow("late payments")
        << true
        << "select distinct x.firstname||' '||x.lastname from charges c join tenants x on x.tid = c.tid "
           "where c.amt > 0 union select distinct b.description from charges c join apartments a on "
           "a.apid = c.apid join buildings b on b.buildid = a.bid where c.amt > 0"
        << "#0055ff";
}

void TestReportSave::htmlShowsNamesOnTheirBand()
{
    QFETCH(bool, latePayments);
    QFETCH(QString, namesSql);
    QFETCH(QString, band);
    const QString path = TestEnvironment::root() + QStringLiteral("/names.html");
    QFile::remove(path);
    MsgBox::clearShown();

    // Every charge is late the day after the last one falls due.
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("select max(fordate) from charges where amt > 0")) && query.next());
    const QDate lateDay = query.value(0).toDate().addDays(1);
    QStringList names;
    QVERIFY(query.exec(namesSql));
    while (query.next()) {
        if (!query.value(0).toString().isEmpty())
            names << query.value(0).toString().toHtmlEscaped();
    }
    QVERIFY(names.size() > 1);

    QSqlDoubleQueryModel model;
    model.setQuery(latePayments ? ReportSql::latePayments(lateDay) : ReportSql::owners(), QSqlDatabase::database());
    ModalDriver driver;
    driver.ok([](QDialog *preview) { QVERIFY(clickPreviewButton(preview, QStringLiteral("actExpToHtml"))); });
    driver.ok(typeFileName(path));
    if (latePayments)
        TiberneReport().printLatePayments(&model, QStringList());
    else
        TiberneReport().printOwners(&model);
    QCOMPARE(driver.unexpected + driver.stayedOpen, 0);
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join(QLatin1Char('|'))));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<PageBox> boxes = pageBoxes(QString::fromUtf8(file.readAll()));
    for (const QString &name : qAsConst(names)) {
        int shown = 0;
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes.at(i).text != name)
                continue;
            ++shown;
            QCOMPARE(boxes.at(i).colour, QStringLiteral("#ffffff"));
            QCOMPARE(groundOf(boxes, i), band);
        }
        QVERIFY2(shown > 0, qPrintable(name));
    }
}

VELLORAN_TEST_MAIN(TestReportSave)
#include "tst_reportsave.moc"
