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

// "text colour on ground" for each text box of a saved page, the ground being what the browser shows
// beneath the box: its own fill, else the last fill written before it under its middle, else the page.
QStringList textsOnGround(const QString &html)
{
    QList<QPair<QRect, QString>> fills{{QRect(0, 0, 1 << 30, 1 << 30), QStringLiteral("#ffffff")}};
    QStringList found;
    for (auto it = QRegularExpression("<div style='([^']*)'>([^<]*)</div>").globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch element = it.next();
        QHash<QString, QString> style;
        for (const QString &property : element.captured(1).split(QLatin1Char(';')))
            style[property.section(QLatin1Char(':'), 0, 0).trimmed()] = property.section(QLatin1Char(':'), 1).trimmed();
        const QRect area(style["left"].toInt(), style["top"].toInt(), style["width"].toInt(), style["height"].toInt());
        if (style["background"] != QLatin1String("transparent"))
            fills << qMakePair(area, style["background"]);
        int under = fills.size() - 1;
        while (!fills.at(under).first.contains(area.center()))
            --under;
        if (!element.captured(2).isEmpty())
            found << style["color"] + QStringLiteral(" on ") + fills.at(under).second;
    }
    return found;
}

} // namespace

void TestReportSave::htmlShowsNamesOnTheirBand_data()
{
    QTest::addColumn<bool>("latePayments");
    // The band the tenant, building or owner names stand on in white, as the preview paints it.
    QTest::addColumn<QString>("band");
    QTest::newRow("owners") << false << "#0000ff";
    QTest::newRow("late payments") << true << "#0055ff";
}

// Every white text of the saved page (the names and their captions) stands on the band the preview shows.
void TestReportSave::htmlShowsNamesOnTheirBand()
{
    QFETCH(bool, latePayments);
    QFETCH(QString, band);
    const QString path = TestEnvironment::root() + QStringLiteral("/%1.html").arg(QTest::currentDataTag());
    QSqlQuery query;
    // Every charge is late the day after the last one falls due.
    QVERIFY(query.exec(QStringLiteral("select max(fordate) + 1 from charges where amt > 0")) && query.next());
    QSqlDoubleQueryModel model;
    model.setQuery(latePayments ? ReportSql::latePayments(query.value(0).toDate()) : ReportSql::owners());
    ModalDriver driver;
    driver.ok([](QDialog *preview) { QVERIFY(clickPreviewButton(preview, QStringLiteral("actExpToHtml"))); });
    driver.ok(typeFileName(path));
    latePayments ? TiberneReport().printLatePayments(&model, QStringList()) : TiberneReport().printOwners(&model);
    QFile file(path);
    QVERIFY(driver.unexpected + driver.stayedOpen == 0 && file.open(QIODevice::ReadOnly));
    const QStringList white = textsOnGround(QString::fromUtf8(file.readAll())).filter(QRegularExpression("^#ffffff "));
    QVERIFY(white.size() >= 3);
    QCOMPARE(white.count("#ffffff on " + band), white.size());
}

VELLORAN_TEST_MAIN(TestReportSave)
#include "tst_reportsave.moc"
