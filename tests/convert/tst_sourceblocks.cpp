// A save writes the blocks the user left alone with their own bytes: the
// split of a text into blocks, and the Markdown made for a page that was
// filled from the text and then edited (here: MD4C's HTML, edited as text).

#include "corpushelpers.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "convert/sourceblocks.h"

#include <QtTest>

namespace {

const char *sample = "Title\n"
                     "=====\n"
                     "\n"
                     "Some *text*   wrapped\n"
                     "by hand, see [the docs][docs].\n"
                     "\n"
                     "* one\n"
                     "* two\n"
                     "\n"
                     "```js\n"
                     "let a = 1;\n"
                     "\n"
                     "```\n"
                     "***\n"
                     "| a | b |\n"
                     "|---|:-:|\n"
                     "| 1 | 2 |\n"
                     "\n"
                     "<details>\n"
                     "<summary>More</summary>\n"
                     "\n"
                     "Inside.\n"
                     "\n"
                     "</details>\n"
                     "\n"
                     "[docs]: https://example.org/docs  \"Docs\"\n"
                     "\n"
                     "Last line";

// The page's HTML after replacing from by to in the rendering of markdown.
QString edited(const QString &markdown, const QString &from, const QString &to)
{
    QString html = markdownToHtml(markdown);
    if (!from.isEmpty()) {
        const int at = html.indexOf(from);
        if (at >= 0)
            html.replace(at, from.size(), to);
    }
    return html;
}

} // namespace

class TestSourceBlocks : public QObject
{
    Q_OBJECT

private slots:
    void splitsTopLevelBlocks();
    void unchangedPageGivesTheText_data();
    void unchangedPageGivesTheText();
    void definitionsOutliveEveryOtherBlock();
    void editRewritesOnlyItsBlock_data();
    void editRewritesOnlyItsBlock();
    void editsFarApartKeepWhatLiesBetween();
    void metadataAndMathKeptAroundAnEdit_data();
    void metadataAndMathKeptAroundAnEdit();
    void htmlThePageRewritesIsKept();
    void contextChangeFallsBackToConverter_data();
    void contextChangeFallsBackToConverter();
    void topLevelNodes_data();
    void topLevelNodes();
};

void TestSourceBlocks::splitsTopLevelBlocks()
{
    // Closing fences, setext lines and delimiter rows stay with their block,
    // an HTML element open across blank lines is one block with what it holds.
    const SourceBlocks blocks(QString::fromUtf8(sample));
    QCOMPARE(blocks.blocks(),
             (QStringList{QStringLiteral("Title\n=====\n\n"),
                          QStringLiteral("Some *text*   wrapped\nby hand, see [the docs][docs].\n\n"),
                          QStringLiteral("* one\n* two\n\n"), QStringLiteral("```js\nlet a = 1;\n\n```\n"),
                          QStringLiteral("***\n"), QStringLiteral("| a | b |\n|---|:-:|\n| 1 | 2 |\n\n"),
                          QStringLiteral("<details>\n<summary>More</summary>\n\nInside.\n\n</details>\n\n"),
                          QStringLiteral("[docs]: https://example.org/docs  \"Docs\"\n\n"), QStringLiteral("Last line")}));
    QCOMPARE(SourceBlocks(QString()).blocks(), QStringList());
}

void TestSourceBlocks::unchangedPageGivesTheText_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::newRow("sample") << QString::fromUtf8(sample);
    QTest::newRow("lazy lines and loose list")
        << QStringLiteral("> quote\nlazy\n\n- a\n\n  b\n- c\n    d\n\n    code\n\n\n\nend\n");
    QTest::newRow("definitions first and unused") << QStringLiteral("[x]: /x\n[y]: /y\n\nSee [x] and [Y].\n");
    QTest::newRow("blank lines before") << QStringLiteral("\n\n  \n# H\n");
    QTest::newRow("NUL characters") << QString::fromUtf8("a\0b\n\n\0\n", 7);
    QTest::newRow("white space only") << QStringLiteral("\t \n\n");
    for (const QString &name : Corpus::files())
        QTest::newRow(qPrintable(name)) << Corpus::read(name);
}

void TestSourceBlocks::unchangedPageGivesTheText()
{
    QFETCH(QString, markdown);
    const SourceBlocks blocks(markdown);
    QCOMPARE(blocks.blocks().join(QString()), markdown);
    QCOMPARE(blocks.markdownFor(markdownToHtml(markdown)), markdown);
}

// Definitions the page never shows stay when every block it shows changed.
void TestSourceBlocks::definitionsOutliveEveryOtherBlock()
{
    QCOMPARE(SourceBlocks(QStringLiteral("Old words.\n\n[a]: /x\n")).markdownFor(QStringLiteral("<p>New words.</p>")),
             QStringLiteral("New words.\n\n[a]: /x\n"));
}

void TestSourceBlocks::editRewritesOnlyItsBlock_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("saved");
    const QString text = QString::fromUtf8(sample);
    auto with = [&text](const QString &from, const QString &to) {
        QString result = text;
        return result.replace(from, to);
    };
    // The edited paragraph is written by the converter, its reference link
    // inline; the definition stays.
    QTest::newRow("word in a paragraph")
        << QStringLiteral("by hand") << QStringLiteral("by foot")
        << with(QStringLiteral("Some *text*   wrapped\nby hand, see [the docs][docs]."),
                QStringLiteral("Some *text* wrapped by foot, see [the docs](https://example.org/docs \"Docs\")."));
    QTest::newRow("link deleted, definition stays")
        << QStringLiteral(", see <a href=\"https://example.org/docs\" title=\"Docs\">the docs</a>") << QString()
        << with(QStringLiteral("Some *text*   wrapped\nby hand, see [the docs][docs]."),
                QStringLiteral("Some *text* wrapped by hand."));
    QTest::newRow("list item added") << QStringLiteral("<li>two</li>")
                                     << QStringLiteral("<li>two</li>\n<li>three</li>")
                                     << with(QStringLiteral("* one\n* two\n"), QStringLiteral("- one\n- two\n- three\n"));
    QTest::newRow("table cell") << QStringLiteral("<td align=\"center\">2</td>")
                                << QStringLiteral("<td align=\"center\">22</td>")
                                << with(QStringLiteral("***\n| a | b |\n|---|:-:|\n| 1 | 2 |\n"),
                                        QStringLiteral("***\n\n| a | b   |\n|---|:---:|\n| 1 | 22  |\n"));
    QTest::newRow("code block") << QStringLiteral("let a = 1;") << QStringLiteral("let a = 2;")
                                << with(QStringLiteral("let a = 1;\n\n```\n"), QStringLiteral("let a = 2;\n\n```\n\n"));
    QTest::newRow("block inserted in the middle")
        << QStringLiteral("<hr>") << QStringLiteral("<hr>\n<p>New one.</p>")
        << with(QStringLiteral("***\n"), QStringLiteral("***\n\nNew one.\n\n"));
    // Blocks that meet anew are parted by a blank line.
    QTest::newRow("block deleted") << QStringLiteral("<hr>") << QString() << with(QStringLiteral("***\n"), QStringLiteral("\n"));
    QTest::newRow("last block without line end")
        << QStringLiteral("<p>Last line</p>") << QStringLiteral("<p>Last word</p>")
        << with(QStringLiteral("Last line"), QStringLiteral("Last word\n"));
    QTest::newRow("block after the last")
        << QStringLiteral("<p>Last line</p>") << QStringLiteral("<p>Last line</p><p>More</p>")
        << text + QStringLiteral("\n\nMore\n");
}

void TestSourceBlocks::editRewritesOnlyItsBlock()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, saved);
    const QString text = QString::fromUtf8(sample);
    QCOMPARE(SourceBlocks(text).markdownFor(edited(text, from, to)), saved);
}

// Front matter, formulas and diagrams keep their bytes when a neighbour is
// edited; an edit in one of them rewrites only that block.
void TestSourceBlocks::metadataAndMathKeptAroundAnEdit_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("unedited") << QString() << QString() << QString() << QString();
    QTest::newRow("neighbour paragraph") << QStringLiteral("<p>Last.") << QStringLiteral("<p>Final.")
                                         << QStringLiteral("Last.") << QStringLiteral("Final.");
    QTest::newRow("in a formula") << QStringLiteral("  y\n") << QStringLiteral("  z\n")
                                  << QStringLiteral("  y\n") << QStringLiteral("  z\n");
    QTest::newRow("in the front matter") << QStringLiteral("title: T") << QStringLiteral("title: U")
                                         << QStringLiteral("title: T") << QStringLiteral("title: U");
}

void TestSourceBlocks::metadataAndMathKeptAroundAnEdit()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, before);
    QFETCH(QString, after);
    const QString text = QStringLiteral("---\ntitle: T \n...\n\nIntro   text with $a_1$,\nwrapped.\n\n"
                                        "$$\nx \\\\\n  y\n$$\n\n```mermaid\ngraph TD\n```\n\nLast.\n");
    QString saved = text;
    saved.replace(before, after);
    QCOMPARE(SourceBlocks(text).markdownFor(edited(text, from, to)), saved);
}

// Too many blocks between two edits for a full comparison: the blocks that
// stand once on each side hold the rest in place.
void TestSourceBlocks::editsFarApartKeepWhatLiesBetween()
{
    QString text;
    for (int i = 0; i < 6000; ++i)
        text += QStringLiteral("Paragraph %1\nwrapped  by hand.\n\n").arg(i);
    const QString saved = SourceBlocks(text).markdownFor(
        edited(text, QStringLiteral("<p>Paragraph 100\n"), QStringLiteral("<p>Edited 100\n"))
        + QStringLiteral("<p><br></p>"));
    const int edit = text.indexOf(QStringLiteral("Paragraph 100\n"));
    const int next = text.indexOf(QStringLiteral("Paragraph 101\n"));
    QVERIFY(saved.startsWith(text.left(edit) + QStringLiteral("Edited 100")));
    QVERIFY(saved.contains(QStringLiteral("by hand.\n\n") + text.mid(next)));
}

// The page writes a block's own HTML its way (quotes here); told how, the
// block left alone keeps its bytes, and an edit in it is still an edit.
void TestSourceBlocks::htmlThePageRewritesIsKept()
{
    const QString text = QStringLiteral("Intro.\n\nA <span title='a \"b\"'>word</span>  here.\n");
    const QString shown = QStringLiteral("<p>Intro.</p>\n<p>A <span title=\"a &quot;b&quot;\">word</span>  here.</p>");
    SourceBlocks blocks(text);
    QCOMPARE(blocks.rawHtmlNodes(), QStringList(QStringLiteral("<p>A <span title='a \"b\"'>word</span>  here.</p>")));
    QVERIFY(blocks.markdownFor(shown) != text);
    blocks.setPageForms({QString(shown).remove(0, shown.indexOf(QLatin1Char('\n')) + 1)});
    QVERIFY(blocks.rawHtmlNodes().isEmpty());
    QCOMPARE(blocks.markdownFor(shown), text);
    QCOMPARE(blocks.markdownFor(QString(shown).replace(QStringLiteral("here"), QStringLiteral("there"))),
             QStringLiteral("Intro.\n\n") + htmlToMarkdown(QString(shown).mid(shown.indexOf(QStringLiteral("<p>A"))).replace(QStringLiteral("here"), QStringLiteral("there"))));
    // A wrong answer settles nothing.
    SourceBlocks other(text);
    other.setPageForms({});
    QVERIFY(other.markdownFor(shown) != text);

    // No-break spaces come back as entities, which the converter reads as
    // the page's own spaces.
    const QString spaces = QStringLiteral("&nbsp;&nbsp;Indented.\n- item\n\u00a0\nlazy\n");
    QCOMPARE(SourceBlocks(spaces).markdownFor(markdownToHtml(spaces).replace(QChar(0xa0), QStringLiteral("&nbsp;"))),
             spaces);
}

void TestSourceBlocks::contextChangeFallsBackToConverter_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    // "- one" kept next to the converter's "- three" would be one list.
    QTest::newRow("list that would go on") << QStringLiteral("- one\n\n* two\n") << QStringLiteral("<li>two</li>")
                                           << QStringLiteral("<li>three</li>");
    // The kept code block would be read as the new item's second paragraph.
    QTest::newRow("indented code after a new list")
        << QStringLiteral("Para\n\n    code\n") << QStringLiteral("<p>Para</p>")
        << QStringLiteral("<ul><li>item</li></ul>");
}

void TestSourceBlocks::contextChangeFallsBackToConverter()
{
    // Whatever is kept, the saved text shows what the page shows, as the
    // converter would have written it.
    QFETCH(QString, markdown);
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QString html = edited(markdown, from, to);
    const QString saved = SourceBlocks(markdown).markdownFor(html);
    QCOMPARE(Corpus::normalizeHtml(markdownToHtml(saved)), Corpus::normalizeHtml(markdownToHtml(htmlToMarkdown(html))));
}

void TestSourceBlocks::topLevelNodes_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("nodes");
    QTest::newRow("blocks and white space")
        << QStringLiteral("<p>a</p>\n<hr>\n  <ul><li>b</li></ul>")
        << QStringList{QStringLiteral("<p>a</p>"), QStringLiteral("<hr>"), QStringLiteral("<ul><li>b</li></ul>")};
    QTest::newRow("comments, text, quoted >")
        << QStringLiteral("<!-- <p> -->text <b>x</b>\n<p title=\"a > b\">c</p>")
        << QStringList{QStringLiteral("<!-- <p> -->"), QStringLiteral("text"), QStringLiteral("<b>x</b>"),
                       QStringLiteral("<p title=\"a > b\">c</p>")};
    QTest::newRow("raw text and implied ends")
        << QStringLiteral("<script>if (a</div>) x;</script><div><p>one<div>two</div></div><p>open")
        << QStringList{QStringLiteral("<script>if (a</div>) x;</script>"),
                       QStringLiteral("<div><p>one<div>two</div></div>"), QStringLiteral("<p>open")};
    QTest::newRow("raw text of a frame")
        << QStringLiteral("<iframe><!--</iframe><p>b</p>")
        << QStringList{QStringLiteral("<iframe><!--</iframe>"), QStringLiteral("<p>b</p>")};
}

void TestSourceBlocks::topLevelNodes()
{
    QFETCH(QString, html);
    QFETCH(QStringList, nodes);
    QStringList found;
    for (const SourceBlocks::Span &span : SourceBlocks::topLevelNodes(html))
        found << html.mid(span.start, span.end - span.start);
    QCOMPARE(found, nodes);
}

QTEST_GUILESS_MAIN(TestSourceBlocks)
#include "tst_sourceblocks.moc"
