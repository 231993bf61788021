// The pipe-table formatter run when a table closes.

#include "convert/pipetable.h"

#include <QtTest>

#include <string>

class TestPipeTable : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void hugePaddingIsRefused();
};

void TestPipeTable::format_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QByteArray>("formatted");

    QTest::newRow("widths and alignment")
        << QByteArray("| a | b |\n| :- | -: |\n| long text | c |\n")
        << QByteArray("| a         | b  |\n|:----------|---:|\n| long text | c  |\n");
    // The second row is the delimiter row whatever it holds.
    QTest::newRow("data in the second row") << QByteArray("|x|y|\n|1|:2:|\n|z|w|")
                                            << QByteArray("| x | y   |\n|---|:---:|\n| z | w   |\n");
    QTest::newRow("lone colon is left") << QByteArray("|a|\n|:|\n") << QByteArray("| a |\n|:--|\n");
    QTest::newRow("empty delimiter cell") << QByteArray("|a|b|\n| |-|\n") << QByteArray("| a | b |\n||---|\n");
    QTest::newRow("rows keep their own cell count")
        << QByteArray("|a|b|c|\n|-|\n|d|\n|e|f|") << QByteArray("| a | b | c |\n|---|\n| d |\n| e | f |\n");
    QTest::newRow("lines without cells dropped") << QByteArray("\na|b\n\n|||\nc\n|x|\n")
                                                 << QByteArray("| a | b |\n|---|\n| x |\n");
    QTest::newRow("only spaces are trimmed") << QByteArray("|\ta |\n|-|\n") << QByteArray("| \ta |\n|----|\n");
    QTest::newRow("widths count bytes") << QByteArray("|\xC3\xA9|\n|-|\n|a|")
                                        << QByteArray("| \xC3\xA9 |\n|----|\n| a  |\n");
    QTest::newRow("no rows") << QByteArray("\n||\n") << QByteArray("");
}

void TestPipeTable::format()
{
    QFETCH(QByteArray, table);
    QFETCH(QByteArray, formatted);
    const std::string result = html2md::formatPipeTable(table.toStdString());
    QCOMPARE(QByteArray::fromStdString(result), formatted);
}

void TestPipeTable::hugePaddingIsRefused()
{
    // One long cell and many short rows: padding every row to the long cell
    // would need rows x width bytes. The table is written unpadded instead.
    const std::string longCell(200000, 'x');
    std::string table = "|" + longCell + "|\n|-|\n";
    std::string expected = "| " + longCell + " |\n|---|\n";
    for (int i = 0; i < 400; ++i) {
        table += "|y|\n";
        expected += "| y |\n";
    }
    QCOMPARE(QByteArray::fromStdString(html2md::formatPipeTable(table)), QByteArray::fromStdString(expected));
}

QTEST_APPLESS_MAIN(TestPipeTable)
#include "tst_pipetable.moc"
