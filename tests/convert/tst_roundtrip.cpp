// Markdown rendering, the way back through both functions, and the
// veltrane-convert tool.

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

class TestRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void render_data();
    void render();
    void documentSurvives();
    void mathAndMetadataComeBack_data();
    void mathAndMetadataComeBack();
    void toolConverts();
};

void TestRoundTrip::render_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QString>("html");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("strikethrough") << QStringLiteral("~~s~~") << QStringLiteral("<p><del>s</del></p>\n");
    QTest::newRow("task item")
        << QStringLiteral("- [x] done")
        << QStringLiteral("<ul>\n<li class=\"task-list-item\"><input type=\"checkbox\" "
                          "class=\"task-list-item-checkbox\" disabled checked>done</li>\n</ul>\n");
    QTest::newRow("table")
        << QStringLiteral("| a | b |\n|:--|--:|\n| c | d |")
        << QStringLiteral("<table>\n<thead>\n<tr>\n<th align=\"left\">a</th>\n<th align=\"right\">b</th>\n"
                          "</tr>\n</thead>\n<tbody>\n<tr>\n<td align=\"left\">c</td>\n"
                          "<td align=\"right\">d</td>\n</tr>\n</tbody>\n</table>\n");
    QTest::newRow("www autolink") << QStringLiteral("see www.example.com now")
                                  << QStringLiteral("<p>see <a href=\"http://www.example.com\">"
                                                    "www.example.com</a> now</p>\n");
    QTest::newRow("url autolink") << QStringLiteral("https://x.org/a")
                                  << QStringLiteral("<p><a href=\"https://x.org/a\">https://x.org/a</a></p>\n");
    QTest::newRow("mail autolink") << QStringLiteral("me@x.org")
                                   << QStringLiteral("<p><a href=\"mailto:me@x.org\">me@x.org</a></p>\n");
    QTest::newRow("hash without space") << QStringLiteral("#tag") << QStringLiteral("<p>#tag</p>\n");
    QTest::newRow("raw html") << QStringLiteral("a <u>b</u>") << QStringLiteral("<p>a <u>b</u></p>\n");
    QTest::newRow("indented code") << QStringLiteral("    code")
                                   << QStringLiteral("<pre><code>code\n</code></pre>\n");
    QTest::newRow("soft break") << QStringLiteral("a\nb") << QStringLiteral("<p>a\nb</p>\n");
    QTest::newRow("fence info") << QStringLiteral("```js\nx\n```")
                                << QStringLiteral("<pre><code class=\"language-js\">x\n</code></pre>\n");
    // Dollars: a single one opens before a non-space and closes after one,
    // not before a digit; the rest is text.
    QTest::newRow("prices") << QStringLiteral("$5 and $10") << QStringLiteral("<p>$5 and $10</p>\n");
    QTest::newRow("inline math") << QStringLiteral("a $x*y*z$ b $5")
                                 << QStringLiteral("<p>a <x-equation>x*y*z</x-equation> b $5</p>\n");
    QTest::newRow("closer before a digit") << QStringLiteral("$a$1 $b$")
                                           << QStringLiteral("<p><x-equation>a$1 $b</x-equation></p>\n");
    QTest::newRow("escaped and in code") << QStringLiteral("\\$x\\$ `$y$`")
                                         << QStringLiteral("<p>$x$ <code>$y$</code></p>\n");
    QTest::newRow("display math") << QStringLiteral("$$ a $$")
                                  << QStringLiteral("<p><x-equation type=\"display\"> a </x-equation></p>\n");
    QTest::newRow("never in alt text") << QStringLiteral("![$a$](p.png)")
                                       << QStringLiteral("<p><img src=\"p.png\" alt=\"$a$\"></p>\n");
    QTest::newRow("front matter")
        << QStringLiteral("---\na: <1>\n---\nx")
        << QStringLiteral("<pre data-front-matter=\"---\"><code class=\"language-yaml\">a: &lt;1&gt;\n"
                          "</code></pre>\n<p>x</p>\n");
    QTest::newRow("rule and blank line") << QStringLiteral("---\n\na\n---\n")
                                         << QStringLiteral("<hr>\n<h2>a</h2>\n");
    QTest::newRow("front matter not at the start") << QStringLiteral("x\n\n---\na\n---\n")
                                                   << QStringLiteral("<p>x</p>\n<hr>\n<h2>a</h2>\n");
    QTest::newRow("unclosed front matter") << QStringLiteral("---\na") << QStringLiteral("<hr>\n<p>a</p>\n");
    QTest::newRow("non-ascii") << QStringLiteral("h\u00e9llo \u4e2d\u6587")
                               << QStringLiteral("<p>h\u00e9llo \u4e2d\u6587</p>\n");
}

void TestRoundTrip::render()
{
    QFETCH(QString, markdown);
    QFETCH(QString, html);
    QCOMPARE(markdownToHtml(markdown), html);
}

void TestRoundTrip::documentSurvives()
{
    // What the converter can represent comes back from the editing page
    // unchanged: the second trip is the identity, and the page sees the
    // same HTML as before.
    const QString original = QStringLiteral(
        "# Title\n\nSome *emph*, **bold**, ~~del~~ and `code`.\n\n"
        "## Lists\n\n- one\n- two\n\n1. first\n2. second\n\n"
        "> quoted text\n\n"
        "```cpp\nint main() { return 0; }\n```\n\n"
        "| h1 | h2 |\n|:--|--:|\n| a | b |\n\n"
        "A [link](http://u.example \"tip\") in text.\n\n![image](p.png)\n\n---\n\n"
        "Caf\u00e9 \u4e2d\u6587 <u>under</u>\n");
    const QString html = markdownToHtml(original);
    const QString once = htmlToMarkdown(html);
    QCOMPARE(htmlToMarkdown(markdownToHtml(once)), once);
    QCOMPARE(markdownToHtml(once), html);
    QVERIFY(once.startsWith(QStringLiteral("# Title\n\nSome *emph*, **bold**, ~~del~~ and `code`.\n")));
    QVERIFY(once.contains(QStringLiteral("| h1 | h2 |\n|:---|---:|\n| a  | b  |\n")));
}

// Formulas, front matter and diagrams go back to Markdown byte for byte.
void TestRoundTrip::mathAndMetadataComeBack_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::newRow("inline") << QStringLiteral("Let $\\alpha_{i}^{2} < x*y*z$ and $a \\$ b$ hold.\n");
    QTest::newRow("display") << QStringLiteral(
        "Before.\n\n$$\n\\begin{pmatrix}\n  a & b \\\\\n  c & d\n\\end{pmatrix}\n$$\n\nAfter.\n");
    QTest::newRow("in a quote and an item") << QStringLiteral("> q $a\n> b$ end\n\n- i $c\n  d$\n");
    QTest::newRow("in a table") << QStringLiteral("| a     | b     |\n|-------|-------|\n| $x_1$ | $$y$$ |\n");
    QTest::newRow("front matter, dashes")
        << QStringLiteral("---\ntitle: \"Hello\"\ntags: [a, b]\n---\n\n# Hello $x$\n");
    QTest::newRow("front matter, dots") << QStringLiteral("---\na: 1\n\nb: |\n  text\n...\n\nText.\n");
    QTest::newRow("diagram") << QStringLiteral("```mermaid\ngraph TD\n  A-->B\n```\n");
}

void TestRoundTrip::mathAndMetadataComeBack()
{
    QFETCH(QString, markdown);
    QCOMPARE(htmlToMarkdown(markdownToHtml(markdown)), markdown);
}

void TestRoundTrip::toolConverts()
{
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/veltrane-convert");
    if (!QFileInfo::exists(tool))
        QSKIP("veltrane-convert is not built");

    auto run = [&](const QStringList &arguments, const QByteArray &input, int expectedCode) {
        QProcess process;
        process.start(tool, arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            return QByteArray("<timeout>");
        if (process.exitCode() != expectedCode)
            return QByteArray("<exit ") + QByteArray::number(process.exitCode()) + '>';
        return expectedCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
    };

    QCOMPARE(run({QStringLiteral("--to-markdown")},
                 "<h1>Title</h1>\n<p>Hello <strong>world</strong></p>\n", 0),
             QByteArray("# Title\n\nHello **world**\n"));
    QCOMPARE(run({QStringLiteral("--to-html")}, QByteArray("# T\n\nx \xE4\xB8\xAD\0y", 12), 0),
             QByteArray("<h1>T</h1>\n<p>x \xE4\xB8\xAD\xEF\xBF\xBDy</p>\n"));
    QVERIFY(run({}, QByteArray(), 2).startsWith("usage:"));
    QVERIFY(run({QStringLiteral("--to-pdf")}, QByteArray(), 2).startsWith("usage:"));
    QVERIFY(run({QStringLiteral("--to-html"), QStringLiteral("x")}, QByteArray(), 2).startsWith("usage:"));
}

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
