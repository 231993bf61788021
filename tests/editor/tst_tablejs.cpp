#include "convert/markdowntohtml.h"
#include "support/consolepage.h"
#include "support/guitest.h"

#include <QtTest>

// The table operations of the page, on tables rendered from Markdown (with
// white space between the rows) and on tables the page builds itself.
class TestTableJs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void operations_data();
    void operations();
    void insertTableShapes_data();
    void insertTableShapes();
    void operationsOnInsertedTable();
    void deleteOnlyHeaderThenMoveUp();
    void pointOutsideTableChangesNothing();
    void cleanupTestCase();

private:
    // "THEAD[th:a,th:b] TBODY[td:c,td:d]" for the first table; cells holding only
    // a no-break space read "_"; an align attribute is written as "@value".
    QString shape();
    QPoint cellPoint(int row, int column);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ConsolePageHarness> editor;
};

static const char *const sample = "| a | b |\n|---|---|\n| c | d |\n| e | f |\n";

void TestTableJs::initTestCase()
{
    dir = GuiTest::isolate();
    editor = std::make_unique<ConsolePageHarness>();
    QVERIFY(editor->waitReady());
}

void TestTableJs::cleanupTestCase()
{
    QVERIFY2(editor->page->errors.isEmpty(), qPrintable(editor->page->errors.join(QLatin1Char('\n'))));
}

QString TestTableJs::shape()
{
    return editor->js(QStringLiteral(R"((function () {
        var t = document.querySelector('table');
        if (!t) return 'none';
        var out = [];
        if (t.tHead && t.tHead.rows.length === 0) out.push('THEAD[]');
        for (var i = 0; i < t.rows.length; i++) {
            var r = t.rows[i], cells = [];
            for (var j = 0; j < r.cells.length; j++) {
                var c = r.cells[j];
                var text = c.textContent.trim() === '' && c.innerHTML === '&nbsp;' ? '_' : c.textContent.trim();
                cells.push(c.tagName.toLowerCase() + ':' + text + (c.hasAttribute('align') ? '@' + c.getAttribute('align') : ''));
            }
            out.push(r.parentElement.tagName + '[' + cells.join(',') + ']');
        }
        return out.join(' ');
    })())")).toString();
}

QPoint TestTableJs::cellPoint(int row, int column)
{
    const QVariantList point = editor->js(QStringLiteral(
        "(function () { var r = document.querySelector('table').rows[%1].cells[%2].getBoundingClientRect();"
        "return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2)]; })()")
        .arg(row).arg(column)).toList();
    return point.size() == 2 ? QPoint(point.at(0).toInt(), point.at(1).toInt()) : QPoint(-1, -1);
}

void TestTableJs::operations_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("row"); // index in table.rows: 0 is the header
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("insert above the header") << "insertTableRow(%1,%2,'above')" << 0 << 0
        << "THEAD[th:_,th:_] TBODY[td:a,td:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("insert below the header") << "insertTableRow(%1,%2,'below')" << 0 << 1
        << "THEAD[th:a,th:b] TBODY[td:_,td:_] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("insert above a body row") << "insertTableRow(%1,%2,'above')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:_,td:_] TBODY[td:e,td:f]";
    QTest::newRow("insert below the last row") << "insertTableRow(%1,%2,'below')" << 2 << 1
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f] TBODY[td:_,td:_]";
    QTest::newRow("column right of the first") << "insertTableColumn(%1,%2,'right')" << 2 << 0
        << "THEAD[th:a,th:_,th:b] TBODY[td:c,td:_,td:d] TBODY[td:e,td:_,td:f]";
    QTest::newRow("column left of the first, from the header") << "insertTableColumn(%1,%2,'left')" << 0 << 0
        << "THEAD[th:_,th:a,th:b] TBODY[td:_,td:c,td:d] TBODY[td:_,td:e,td:f]";
    QTest::newRow("delete the header row promotes the first body row") << "deleteRow(%1,%2)" << 0 << 0
        << "THEAD[th:c,th:d] TBODY[td:e,td:f]";
    QTest::newRow("delete a body row") << "deleteRow(%1,%2)" << 1 << 1
        << "THEAD[th:a,th:b] TBODY[td:e,td:f]";
    QTest::newRow("delete a column") << "deleteColumn(%1,%2)" << 1 << 1
        << "THEAD[th:a] TBODY[td:c] TBODY[td:e]";
    QTest::newRow("move up the first body row swaps with the header") << "shiftRow(%1,%2,'up')" << 1 << 0
        << "THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]";
    QTest::newRow("move up a later body row") << "shiftRow(%1,%2,'up')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:e,td:f] TBODY[td:c,td:d]";
    QTest::newRow("move up the header does nothing") << "shiftRow(%1,%2,'up')" << 0 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move down the header swaps") << "shiftRow(%1,%2,'down')" << 0 << 1
        << "THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]";
    QTest::newRow("move down a body row") << "shiftRow(%1,%2,'down')" << 1 << 0
        << "THEAD[th:a,th:b] TBODY[td:e,td:f] TBODY[td:c,td:d]";
    QTest::newRow("move down the last row does nothing") << "shiftRow(%1,%2,'down')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move the first column left does nothing") << "shiftColumn(%1,%2,'left')" << 1 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move the first column right") << "shiftColumn(%1,%2,'right')" << 1 << 0
        << "THEAD[th:b,th:a] TBODY[td:d,td:c] TBODY[td:f,td:e]";
    QTest::newRow("move the last column left, from the header") << "shiftColumn(%1,%2,'left')" << 0 << 1
        << "THEAD[th:b,th:a] TBODY[td:d,td:c] TBODY[td:f,td:e]";
    QTest::newRow("move the last column right does nothing") << "shiftColumn(%1,%2,'right')" << 0 << 1
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("align a column") << "alignColumn(%1,%2,'center')" << 2 << 1
        << "THEAD[th:a,th:b@center] TBODY[td:c,td:d@center] TBODY[td:e,td:f@center]";
    QTest::newRow("delete the table") << "deleteTable(%1,%2)" << 1 << 1 << "none";
}

void TestTableJs::operations()
{
    QFETCH(QString, statement);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);

    const QString html = markdownToHtml(QString::fromUtf8(sample));
    QVERIFY(html.contains(QLatin1String("</tr>\n<tr>"))); // white space between rows
    editor->setBody(html);
    QCOMPARE(shape(), QStringLiteral("THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]"));
    const QPoint point = cellPoint(row, column);
    editor->js(statement.arg(point.x()).arg(point.y()) + QStringLiteral("; true"));
    QCOMPARE(shape(), expected);
}

void TestTableJs::insertTableShapes_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1 by 1") << 1 << 1 << "THEAD[th:]";
    QTest::newRow("3 by 2") << 3 << 2 << "THEAD[th:,th:] TBODY[td:,td:] TBODY[td:,td:]";
}

void TestTableJs::insertTableShapes()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, expected);
    // The table replaces the selected text.
    editor->setBody(QStringLiteral("<p>before<b>SEL</b>after</p>"));
    editor->js(QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.querySelector('b'));"
                              "getSelection().removeAllRanges(); getSelection().addRange(r); true"));
    editor->js(QStringLiteral("insertTable(%1,%2); true").arg(rows).arg(columns));
    QCOMPARE(shape(), expected);
    QVERIFY(!editor->js(QStringLiteral("document.body.textContent")).toString().contains(QLatin1String("SEL")));
    QCOMPARE(editor->js(QStringLiteral("document.querySelectorAll('table').length")).toInt(), 1);
}

// The same row moves on a table the page built (no white space between rows).
void TestTableJs::operationsOnInsertedTable()
{
    editor->setBody(QStringLiteral("<p>x</p>"));
    editor->js(QStringLiteral("var r = document.createRange(); r.setStart(document.querySelector('p').firstChild, 1);"
                              "getSelection().removeAllRanges(); getSelection().addRange(r); insertTable(3,2);"
                              "var t = document.querySelector('table'), n = 0;"
                              "for (var i = 0; i < t.rows.length; i++) for (var j = 0; j < 2; j++)"
                              "  t.rows[i].cells[j].textContent = 'abcdef'[n++]; true"));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]"));
    QPoint p = cellPoint(1, 0);
    editor->js(QStringLiteral("shiftRow(%1,%2,'up'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]"));
    p = cellPoint(1, 1);
    editor->js(QStringLiteral("shiftRow(%1,%2,'down'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:c,th:d] TBODY[td:e,td:f] TBODY[td:a,td:b]"));
    p = cellPoint(0, 0);
    editor->js(QStringLiteral("insertTableRow(%1,%2,'above'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:_,th:_] TBODY[td:c,td:d] TBODY[td:e,td:f] TBODY[td:a,td:b]"));
}

// A header row deleted from a table without body rows leaves an empty header;
// a body row moved up into an empty header becomes the header.
void TestTableJs::deleteOnlyHeaderThenMoveUp()
{
    editor->setBody(QStringLiteral("<table><thead><tr><th>h</th></tr></thead></table>"));
    QPoint p = cellPoint(0, 0);
    editor->js(QStringLiteral("deleteRow(%1,%2); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[]"));

    editor->setBody(QStringLiteral("<table><thead><tr><th>h</th></tr></thead><tbody><tr><td>x</td></tr></tbody></table>"));
    p = cellPoint(0, 0);
    editor->js(QStringLiteral("deleteRow(%1,%2); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:x]"));

    editor->setBody(QStringLiteral("<table><thead></thead><tbody><tr><td>x</td></tr><tr><td>y</td></tr></tbody></table>"));
    p = cellPoint(0, 0);
    editor->js(QStringLiteral("shiftRow(%1,%2,'up'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:x] TBODY[td:y]"));
}

void TestTableJs::pointOutsideTableChangesNothing()
{
    editor->setBody(markdownToHtml(QString::fromUtf8(sample)) + QStringLiteral("<p>below</p>"));
    const QVariantList point = editor->js(QStringLiteral(
        "(function () { var r = document.querySelector('p').getBoundingClientRect();"
        "return [Math.round(r.left + 5), Math.round(r.top + r.height / 2)]; })()")).toList();
    QCOMPARE(point.size(), 2);
    const QString before = shape();
    for (const QString &statement : {QStringLiteral("insertTableRow(%1,%2,'above')"), QStringLiteral("deleteRow(%1,%2)"),
                                     QStringLiteral("deleteColumn(%1,%2)"), QStringLiteral("shiftRow(%1,%2,'up')"),
                                     QStringLiteral("deleteTable(%1,%2)")})
        editor->js(statement.arg(point.at(0).toInt()).arg(point.at(1).toInt()) + QStringLiteral("; true"));
    QCOMPARE(shape(), before);
}

QTEST_MAIN(TestTableJs)
#include "tst_tablejs.moc"
