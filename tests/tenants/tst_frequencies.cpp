// The rent frequencies list and its editor, driven through their forms.

#include "testhub.h"

#include "tenants/freqform.h"

#include <QLineEdit>

namespace {
void retype(QDialog *d, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(d, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

QString literal(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}
} // namespace

class TestFrequencies : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listShowsNameDescriptionAndDays();
    void systemFrequenciesAreProtected_data();
    void systemFrequenciesAreProtected();
    void addedFrequencyCanBeEditedAndDeleted();
    void cancelAfterNewLeavesNoRow();
    void names_data();
    void names();
    void days_data();
    void days();

private:
    void selectFrequency(int freqid) { selectRow(view, 0, freqid, 1); }

    TestHub *t = nullptr;
    FreqForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestFrequencies::init()
{
    t = new TestHub;
    QVERIFY(t->exec("insert into frequency (freqid, name, description, days) values (9500, 'Landlord''s Week', '', 6)"));
    model = t->hub->frequencyModel();
    model->setFilter("freqid = 1");
    form = new FreqForm(t->hub);
    view = child<QTableView>(form, "tableView");
}

void TestFrequencies::cleanup()
{
    delete form;
    delete t;
}

void TestFrequencies::listShowsNameDescriptionAndDays()
{
    QCOMPARE(form->windowTitle(), QString("Rent Frequencies"));
    QCOMPARE(model->rowCount(), t->count("frequency"));
    QList<int> shown;
    for (int column = 0; column < model->columnCount(); ++column)
        if (!view->isColumnHidden(column))
            shown << column;
    QCOMPARE(shown, QList<int>({1, 2, 3}));
    QVERIFY(child<QPushButton>(form, "pushButton_4")->isHidden());
}

void TestFrequencies::systemFrequenciesAreProtected_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("edit") << "pushButton_2" << "This is a system defined rent frequency. You cannot modify it!";
    QTest::newRow("delete") << "pushButton_3" << "This is a system defined frequency. You cannot modify it!";
}

void TestFrequencies::systemFrequenciesAreProtected()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    ModalDriver driver;
    selectFrequency(3);
    clickButton(form, button.toLatin1().constData());
    QCOMPARE(driver.handled, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(t->count("frequency where freqid = 3 and name = 'Monthly' and days = 30"), 1);
}

void TestFrequencies::addedFrequencyCanBeEditedAndDeleted()
{
    const int next = t->copy.scalar("select gen_id(GEN_FREQUENCY_ID, 0) from RDB$DATABASE").toInt() + 1;
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Rent Frequeny Dialog"));
        QTest::keyClicks(child<QLineEdit>(d, "name"), "Ten Days");
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Every ten days");
        QTest::keyClicks(child<QLineEdit>(d, "days"), "10");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    const QString row = QStringLiteral("frequency where freqid = %1 ").arg(next);
    QCOMPARE(t->count(row + "and name = 'Ten Days' and days = 10 and sysflag is distinct from 1"), 1);

    selectFrequency(next);
    driver.ok([](QDialog *d) { retype(d, "days", "12"); });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_2");
    QCOMPARE(t->count(row + "and days = 12"), 1);

    selectFrequency(next);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count(row), 0);
}

void TestFrequencies::cancelAfterNewLeavesNoRow()
{
    const int rows = model->rowCount();
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "name"), "Ghost"); });
    clickButton(form, "pushButton");
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(t->count("frequency"), rows);
}

void TestFrequencies::names_data()
{
    QTest::addColumn<int>("freqid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << 0 << "  " << "The name field cannot be blank";
    QTest::newRow("same name exactly") << 0 << " Monthly " << "The new name you have entered already exists!";
    QTest::newRow("same name with a quote") << 0 << "Landlord's Week" << "The new name you have entered already exists!";
    QTest::newRow("other letter case") << 0 << "monthly" << "";
    QTest::newRow("own name unchanged") << 9500 << "Landlord's Week" << "";
}

void TestFrequencies::names()
{
    QFETCH(int, freqid);
    QFETCH(QString, name);
    QFETCH(QString, message);
    const int before = t->count("frequency where name = " + literal(name.trimmed()));
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        retype(d, "name", name);
        retype(d, "days", "9");
    });
    if (message.isEmpty())
        MsgBox::setNextAnswer(QMessageBox::Yes);
    if (freqid == 0) {
        clickButton(form, "pushButton");
    } else {
        selectFrequency(freqid);
        clickButton(form, "pushButton_2");
    }
    if (message.isEmpty()) {
        QCOMPARE(driver.stayedOpen, 0);
        QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
        QCOMPARE(t->count("frequency where days = 9 and name = " + literal(name)), 1);
    } else {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList(message));
        QCOMPARE(t->count("frequency where name = " + literal(name.trimmed())), before);
    }
}

void TestFrequencies::days_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("stored");
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("zero") << "0" << "0" << false;
    QTest::newRow("over a year") << "400" << "400" << false;
    QTest::newRow("letters and minus are not taken") << "-3x0" << "30" << true;
    QTest::newRow("a year") << "365" << "365" << true;
}

void TestFrequencies::days()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, stored);
    QString text;
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "name"), "Custom");
        QTest::keyClicks(child<QLineEdit>(d, "days"), typed);
        text = child<QLineEdit>(d, "days")->text();
    });
    if (stored)
        MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(text, shown);
    if (stored) {
        QCOMPARE(driver.stayedOpen, 0);
        QCOMPARE(t->copy.scalar("select days from frequency where name = 'Custom'").toString(), shown);
    } else {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList("The number of days must be a whole number from 1 to 365"));
        QCOMPARE(t->count("frequency where name = 'Custom'"), 0);
    }
}

VELLORAN_TEST_MAIN(TestFrequencies)
#include "tst_frequencies.moc"
