#include "editor/tabledialog.h"
#include "editor/tablesizecell.h"
#include "support/guitest.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <QtTest>

// The table-size picker: its grid, hover preview and click choice.
class TestTableDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void form();
    void hoverPreviewsSize();
    void clickChoosesAndCloses();
    void closingKeepsLastChoice();

private:
    static QString styles(const TableDialog &dialog);
    std::unique_ptr<QTemporaryDir> dir;
};

static const QString selectedStyle = QStringLiteral("background-color: rgb(208,208,208);border:1px;padding:6px;");
static const QString plainStyle = QStringLiteral("background-color: rgb(255, 255, 255);border:1px;padding:6px;");

void TestTableDialog::initTestCase()
{
    dir = GuiTest::isolate();
}

// One character per cell, row by row: '#' selected style, '.' not selected.
QString TestTableDialog::styles(const TableDialog &dialog)
{
    QString out;
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 6; ++column) {
            const QString style = dialog.cell(row, column)->styleSheet();
            out += style == selectedStyle ? QLatin1Char('#') : style == plainStyle ? QLatin1Char('.') : QLatin1Char('?');
        }
        out += QLatin1Char('/');
    }
    return out;
}

void TestTableDialog::form()
{
    TableDialog dialog;
    QCOMPARE(dialog.size(), QSize(231, 332));
    QCOMPARE(dialog.rowIndex, 0);
    QCOMPARE(dialog.columnIndex, 0);
    QCOMPARE(dialog.findChildren<TableSizeCell *>().size(), 60);
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 6; ++column) {
            TableSizeCell *cell = dialog.cell(row, column);
            QVERIFY(cell);
            QCOMPARE(cell->row, row);
            QCOMPARE(cell->column, column);
            QCOMPARE(cell->text(), QStringLiteral(" "));
        }
    }
    QVERIFY(!dialog.cell(10, 0));
    QVERIFY(!dialog.cell(0, 6));

    QCOMPARE(styles(dialog).left(14), QStringLiteral("#...../....../"));
    QCOMPARE(styles(dialog).count(QLatin1Char('#')), 1);
}

void TestTableDialog::hoverPreviewsSize()
{
    TableDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(231, 332));
    TableSizeCell *target = dialog.cell(2, 3);
    QSignalSpy hovered(target, &TableSizeCell::hovered);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), target->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(target, &enter);
    QCOMPARE(hovered.count(), 1);
    QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("rowsEdit"))->text(), QStringLiteral("3"));
    QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("columnsEdit"))->text(), QStringLiteral("4"));
    QCOMPARE(styles(dialog), QStringLiteral("####../####../####../....../....../....../....../....../....../....../"));

    // Moving back to a smaller size clears the rest.
    emit dialog.cell(0, 1)->hovered();
    QCOMPARE(styles(dialog).count(QLatin1Char('#')), 2);
}

void TestTableDialog::clickChoosesAndCloses()
{
    TableDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.cell(2, 1), Qt::LeftButton);
    QCOMPARE(dialog.rowIndex, 2);
    QCOMPARE(dialog.columnIndex, 1);
    QVERIFY(!dialog.isVisible());
}

void TestTableDialog::closingKeepsLastChoice()
{
    TableDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.cell(4, 5)->click(); });
    dialog.exec();
    QCOMPARE(dialog.rowIndex, 4);
    QCOMPARE(dialog.columnIndex, 5);
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    dialog.exec();
    QCOMPARE(dialog.rowIndex, 4);
    QCOMPARE(dialog.columnIndex, 5);
}

QTEST_MAIN(TestTableDialog)
#include "tst_tabledialog.moc"
