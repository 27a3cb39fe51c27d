// The list windows paint their cells through their own delegate; what the user sees must be what the
// table and Qt's own delegate would have painted, pixel for pixel.
#include "testdatabase.h"

#include "datahub/listitemdelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

class TestListItemDelegate : public QObject
{
    Q_OBJECT

private slots:
    void paintsWhatQtPaints_data();
    void paintsWhatQtPaints();
    void paintsTreesAsQtPaints();
    void keepsSizeHints();
    void installsOnce();

private:
    static QStandardItemModel *makeModel(QObject *parent);
    static QImage painted(QTableView *view);
};

QStandardItemModel *TestListItemDelegate::makeModel(QObject *parent)
{
    auto *model = new QStandardItemModel(6, 4, parent);
    const QStringList texts = {QStringLiteral("MAPLE COURT"), QStringLiteral("12B"), QStringLiteral("Tanaka, Hiroshi"),
                               QString(), QStringLiteral("1,250.00"), QStringLiteral("Überstraße 5"),
                               QStringLiteral("a rather long line of text that the column cannot hold whole"),
                               QStringLiteral("x")};
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column)
            model->setData(model->index(row, column), texts.at((row * 3 + column) % texts.size()));
    }
    // Money is right-aligned, an overdue row is red, one cell has a tick box.
    model->setData(model->index(1, 1), int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
    model->setData(model->index(2, 2), QColor(Qt::red), Qt::ForegroundRole);
    model->setData(model->index(3, 0), Qt::Checked, Qt::CheckStateRole);
    model->setData(model->index(4, 3), QStringLiteral("two\nlines"));
    return model;
}

QImage TestListItemDelegate::painted(QTableView *view)
{
    return view->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

void TestListItemDelegate::paintsWhatQtPaints_data()
{
    QTest::addColumn<bool>("grid");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("wordWrap");
    QTest::newRow("grid, nothing current") << true << -1 << false << true;
    QTest::newRow("grid, current row") << true << 2 << true << true;
    QTest::newRow("grid, current row, unfocused") << true << 4 << false << true;
    QTest::newRow("grid, no word wrap") << true << 3 << true << false;
    QTest::newRow("no grid") << false << 1 << true << true;
}

void TestListItemDelegate::paintsWhatQtPaints()
{
    QFETCH(bool, grid);
    QFETCH(int, currentRow);
    QFETCH(bool, focused);
    QFETCH(bool, wordWrap);

    QWidget window;
    QStandardItemModel *model = makeModel(&window);
    QTableView *views[2];
    for (QTableView *&view : views) {
        view = new QTableView(&window);
        view->setModel(model);
        view->setShowGrid(grid);
        view->setWordWrap(wordWrap);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setColumnWidth(0, 120);
        view->setColumnWidth(2, 90);
        view->resize(430, 260);
        // A view that takes the focus makes its first cell current; the two must stay alike.
        if (!focused)
            view->setFocusPolicy(Qt::NoFocus);
    }
    ListItemDelegate::install(views[1]);
    QCOMPARE(views[1]->showGrid(), false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (QTableView *view : views) {
        if (currentRow >= 0)
            view->setCurrentIndex(model->index(currentRow, 1));
    }
    QImage images[2];
    for (int i = 0; i < 2; ++i) {
        if (focused)
            views[i]->setFocus();
        QApplication::processEvents();
        images[i] = painted(views[i]);
    }
    QCOMPARE(images[1], images[0]);
    // Painted again, the cells come from what was kept of the first painting.
    QCOMPARE(painted(views[1]), images[0]);
}

void TestListItemDelegate::paintsTreesAsQtPaints()
{
    // The apartments window's tree: owners, and their buildings in blue under them.
    QWidget window;
    QTreeWidget *trees[2];
    for (QTreeWidget *&tree : trees) {
        tree = new QTreeWidget(&window);
        tree->setHeaderLabels({QString()});
        tree->resize(260, 300);
        auto *top = new QTreeWidgetItem(tree, {QStringLiteral("OWNERS")});
        for (int owner = 1; owner <= 3; ++owner) {
            auto *item = new QTreeWidgetItem(top, {QStringLiteral("[OWN%1] Okafor Holdings %1").arg(owner)});
            auto *building = new QTreeWidgetItem(item, {QStringLiteral("MAPLE COURT %1").arg(owner)});
            building->setForeground(0, QBrush(QColor(QStringLiteral("Blue"))));
        }
        new QTreeWidgetItem(top, {QStringLiteral("[OWN4] A name far too long for the narrow tree to show it whole")});
        tree->expandAll();
    }
    ListItemDelegate::install(trees[1]);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QImage images[2];
    for (int i = 0; i < 2; ++i) {
        trees[i]->setFocus();
        trees[i]->setCurrentItem(trees[i]->topLevelItem(0)->child(1));
        QApplication::processEvents();
        images[i] = trees[i]->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    QCOMPARE(images[1], images[0]);
}

void TestListItemDelegate::keepsSizeHints()
{
    QStandardItemModel model(3, 2);
    model.setData(model.index(0, 0), QStringLiteral("MAPLE COURT"));
    model.setData(model.index(1, 1), QStringLiteral("a longer text in the second column"));
    QTableView qt, ours;
    qt.setModel(&model);
    ours.setModel(&model);
    ListItemDelegate::install(&ours);
    for (QTableView *view : {&qt, &ours}) {
        view->resizeColumnsToContents();
        view->resizeRowsToContents();
    }
    for (int column = 0; column < 2; ++column)
        QCOMPARE(ours.columnWidth(column), qt.columnWidth(column));
    for (int row = 0; row < 3; ++row)
        QCOMPARE(ours.rowHeight(row), qt.rowHeight(row));
}

void TestListItemDelegate::installsOnce()
{
    QTableView view;
    ListItemDelegate::install(&view);
    QAbstractItemDelegate *first = view.itemDelegate();
    ListItemDelegate::install(&view);
    QCOMPARE(view.itemDelegate(), first);
    // The first delegate goes on drawing the grid it took over.
    QCOMPARE(view.showGrid(), false);
}

// With the environment isolated: Qt's runtime folder goes to the test's own temporary folder.
VELLORAN_TEST_MAIN(TestListItemDelegate)
#include "tst_listitemdelegate.moc"
