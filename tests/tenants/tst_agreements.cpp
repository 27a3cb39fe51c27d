// The lease editor on a row of the agreements model, as the apartments window opens it: a new agreement
// is checked and given its key, an existing one is only shown.

#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "tenants/agreementsdialog.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
QDate d(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

void retype(QWidget *dialog, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(dialog, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

const char *const dateFields[] = {"firstDueOn", "leaseStartDate", "LeaseEndDate", "moveIn", "moveOut",
                                  "firstPaymentDate"};
const int dateColumns[] = {8, 10, 11, 12, 13, 16};
} // namespace

class TestAgreements : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newAgreementOpensOnTodayAndTakesAKey();
    void dateRules_data();
    void dateRules();
    void viewShowsTheStoredAgreement();

private:
    // What the apartments window does before it opens the editor on a new agreement.
    int appendRow();
    bool pressOk(QDialog *dialog);
    int nextKey();

    TestHub *t = nullptr;
    QSqlDoubleRelationalTableModel *model = nullptr;
};

void TestAgreements::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    Today::set(d("2024-04-15"));
    QVERIFY(t->exec("insert into agreements (rid, tid, apid, damage, rent, latefee, perday, freq, firstdue, "
                    "leaseterm, leasestart, leaseend, movein, moveout, notes, nextdate) values (9300, 36, 5, 500, "
                    "975.5, 25, 2, 5, '2024-02-01', '6 Months', '2024-01-15', '2024-07-14', '2024-01-10', "
                    "'2024-07-20', 'Keys returned', '2024-02-03')"));
    model = t->hub->agreementsModel();
    model->select();
}

void TestAgreements::cleanup()
{
    Today::reset();
    delete t;
    t = nullptr;
}

int TestAgreements::appendRow()
{
    const int row = model->rowCount();
    if (!model->insertRows(row, 1))
        return -1;
    XDataSource::setCellValue(model, 2, row, 5);
    XDataSource::setCellValue(model, 1, row, 36);
    XDataSource::setCellValue(model, 4, row, 1175.0);
    return row;
}

bool TestAgreements::pressOk(QDialog *dialog)
{
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
    return dialog->result() == QDialog::Accepted;
}

int TestAgreements::nextKey()
{
    return t->copy.scalar("select gen_id(GEN_AGREEMENTS_ID, 0) from RDB$DATABASE").toInt() + 1;
}

void TestAgreements::newAgreementOpensOnTodayAndTakesAKey()
{
    const int row = appendRow();
    QVERIFY(row >= 0);
    const int key = nextKey();
    AgreementsDialog dialog(t->hub, row, true);
    QCOMPARE(dialog.agreementId(), -1);
    QCOMPARE(child<QLineEdit>(&dialog, "rent")->text().toDouble(), 1175.0);
    for (const char *field : dateFields)
        QCOMPARE(child<QLineEdit>(&dialog, field)->text(), ShortDate::toText(d("2024-04-15")));

    // Deposit and late fees may stay empty; an amount below zero is refused, not stored.
    retype(&dialog, "damage", "-300");
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList("\"-300\" is not an amount. Type amounts as in 1,234.50."));
    QCOMPARE(child<QLineEdit>(&dialog, "damage")->text(), QString("-300"));
    MsgBox::clearShown();
    retype(&dialog, "damage", "300");
    auto *freq = child<QComboBox>(&dialog, "rentRecurs");
    freq->setCurrentIndex(freq->findText("Weekly"));
    auto *term = child<QComboBox>(&dialog, "leaseterm_2");
    term->setCurrentIndex(term->findText("2 Years"));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));

    QCOMPARE(dialog.agreementId(), key);
    const auto cell = [this, row](int column) { return model->data(model->index(row, column), Qt::EditRole); };
    QCOMPARE(cell(0).toInt(), key);
    QCOMPARE(cell(3).toDouble(), 300.0);
    QCOMPARE(cell(7).toInt(), 5);
    QCOMPARE(cell(9).toString(), QString("2 Years"));
}

void TestAgreements::dateRules_data()
{
    QTest::addColumn<QString>("rent");
    QTest::addColumn<QStringList>("dates"); // as dateFields, ISO; anything else is typed as it stands
    QTest::addColumn<QString>("message");   // empty: accepted

    const QString blank = "The rent field cannot be blank";
    const QString invalid = "The dates you have enetered are not valid!";
    const QString order = "The lease start date cannot come after the lease end date <br/> and the move in date "
                          "cannot be later than the move out date!";
    const QString firstPayment = "The first payment date cannot be later than the lease end date";
    const QString s = "2024-05-01";
    const QString e = "2025-04-30";
    QTest::newRow("blank rent") << "   " << QStringList{s, s, e, s, e, s} << blank;
    QTest::newRow("only the move out date in ISO form")
        << "900" << QStringList{s, s, e, s, "#2025-04-30", s} << invalid;
    QTest::newRow("two-digit year") << "900" << QStringList{s, s, e, "#5/1/24", e, s} << invalid;
    QTest::newRow("empty first payment date") << "900" << QStringList{s, s, e, s, e, "#"} << invalid;
    QTest::newRow("lease ends before it starts") << "900" << QStringList{s, e, s, s, e, s} << order;
    QTest::newRow("move out before move in") << "900" << QStringList{s, s, e, e, s, s} << order;
    QTest::newRow("first payment after the lease") << "900" << QStringList{s, s, e, s, e, "2025-05-01"}
                                                   << firstPayment;
    QTest::newRow("first due after the lease") << "900" << QStringList{"2025-05-01", s, e, s, e, s}
                                               << firstPayment;
    QTest::newRow("start equals end, first payment on the last day")
        << "900" << QStringList{s, e, e, s, e, e} << QString();
    QTest::newRow("move in before the lease, first due after first payment")
        << "900" << QStringList{"2024-06-01", s, e, "2024-04-20", e, s} << QString();
}

void TestAgreements::dateRules()
{
    QFETCH(QString, rent);
    QFETCH(QStringList, dates);
    QFETCH(QString, message);

    const int row = appendRow();
    AgreementsDialog dialog(t->hub, row, true);
    retype(&dialog, "rent", rent);
    for (int i = 0; i < dates.size(); ++i) {
        const QString &date = dates.at(i);
        retype(&dialog, dateFields[i],
               date.startsWith('#') ? date.mid(1) : ShortDate::toText(QDate::fromString(date, Qt::ISODate)));
    }
    if (message.isEmpty())
        MsgBox::setNextAnswer(QMessageBox::Yes);
    const bool accepted = pressOk(&dialog);

    QCOMPARE(accepted, message.isEmpty());
    if (accepted) {
        QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
        for (int i = 0; i < dates.size(); ++i)
            QCOMPARE(model->data(model->index(row, dateColumns[i]), Qt::EditRole).toDate(),
                     QDate::fromString(dates.at(i), Qt::ISODate));
        return;
    }
    // A refusal comes before the question and leaves the row as it was.
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(dialog.agreementId(), -1);
    for (int column : dateColumns)
        QVERIFY(model->data(model->index(row, column), Qt::EditRole).isNull());
}

void TestAgreements::viewShowsTheStoredAgreement()
{
    model->setFilter("rid = 9300");
    QCOMPARE(model->rowCount(), 1);
    const int key = nextKey();
    AgreementsDialog dialog(t->hub, 0, false);

    const QStringList stored = {"2024-02-01", "2024-01-15", "2024-07-14", "2024-01-10", "2024-07-20", "2024-02-03"};
    for (int i = 0; i < stored.size(); ++i) {
        auto *field = child<QLineEdit>(&dialog, dateFields[i]);
        QCOMPARE(field->text(), ShortDate::toText(QDate::fromString(stored.at(i), Qt::ISODate)));
        QVERIFY(field->isReadOnly());
    }
    QVERIFY(child<QLineEdit>(&dialog, "rent")->isReadOnly());
    auto *freq = child<QComboBox>(&dialog, "rentRecurs");
    auto *term = child<QComboBox>(&dialog, "leaseterm_2");
    QCOMPARE(freq->currentText(), QString("Weekly"));
    QCOMPARE(term->currentText(), QString("6 Months"));
    QVERIFY(!freq->isEnabled() && !term->isEnabled());

    auto *buttons = child<QDialogButtonBox>(&dialog, "buttonBox");
    QCOMPARE(buttons->buttons().size(), 1);
    QVERIFY(buttons->button(QDialogButtonBox::Close));
    dialog.show();
    buttons->button(QDialogButtonBox::Close)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(nextKey(), key);
    QVERIFY(!model->isDirty());
    model->setFilter(QString());
}

VELLORAN_TEST_MAIN(TestAgreements)
#include "tst_agreements.moc"
