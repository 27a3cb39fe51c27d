// The list's row header is sized from a few rows; it must come out the size Qt's own header measures
// from all of them, and behave as the header it replaces.
#include "testdatabase.h"

#include "datahub/rownumberheader.h"

#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

class TestRowNumberHeader : public QObject
{
    Q_OBJECT

private slots:
    void sizedAsQtSizesIt_data();
    void sizedAsQtSizesIt();
    void replacesTheShownHeaderOnly();
};

void TestRowNumberHeader::sizedAsQtSizesIt_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("hidden");
    QTest::newRow("empty") << 0 << QList<int>();
    QTest::newRow("one row") << 1 << QList<int>();
    QTest::newRow("nine rows") << 9 << QList<int>();
    QTest::newRow("ten rows") << 10 << QList<int>();
    QTest::newRow("a hundred") << 100 << QList<int>();
    QTest::newRow("a screenful") << 256 << QList<int>();
    QTest::newRow("a large office") << 12000 << QList<int>();
    QTest::newRow("last rows hidden") << 1000 << QList<int>{999, 998, 997, 996};
    QTest::newRow("first rows hidden") << 12 << QList<int>{0, 1, 2};
}

void TestRowNumberHeader::sizedAsQtSizesIt()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, hidden);
    QStandardItemModel model(rows, 2);
    QTableView qt, ours;
    qt.setModel(&model);
    RowNumberHeader::install(&ours);
    ours.setModel(&model);
    for (QTableView *view : {&qt, &ours}) {
        for (int row : hidden)
            view->setRowHidden(row, true);
    }
    QCOMPARE(ours.verticalHeader()->sizeHint(), qt.verticalHeader()->sizeHint());

    // A list that grows a digit widens its row header.
    model.insertRows(rows, 100);
    QCOMPARE(ours.verticalHeader()->sizeHint(), qt.verticalHeader()->sizeHint());
}

void TestRowNumberHeader::replacesTheShownHeaderOnly()
{
    QStandardItemModel model(5, 2);
    QTableView view;
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    // The view deletes the header it gives up, so what it did is read before the swap.
    const bool clickable = view.verticalHeader()->sectionsClickable();
    const bool highlights = view.verticalHeader()->highlightSections();
    RowNumberHeader::install(&view);
    auto *header = qobject_cast<RowNumberHeader *>(view.verticalHeader());
    QVERIFY(header);
    QCOMPARE(header->sectionsClickable(), clickable);
    QCOMPARE(header->highlightSections(), highlights);
    RowNumberHeader::install(&view);
    QCOMPARE(view.verticalHeader(), header);

    // A row number still chooses its row.
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect third(0, header->sectionViewportPosition(2), header->width(), header->sectionSize(2));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(view.currentIndex().row(), 2);

    // A form that hides its row numbers keeps them hidden.
    QTableView bare;
    bare.verticalHeader()->hide();
    QHeaderView *hiddenHeader = bare.verticalHeader();
    RowNumberHeader::install(&bare);
    QCOMPARE(bare.verticalHeader(), hiddenHeader);
}

// With the environment isolated: Qt's runtime folder goes to the test's own temporary folder.
VELLORAN_TEST_MAIN(TestRowNumberHeader)
#include "tst_rownumberheader.moc"
