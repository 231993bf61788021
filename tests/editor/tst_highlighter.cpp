#include "editor/highlighter.h"
#include "editor/sourcesurface.h"
#include "support/guitest.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>
#include <cmath>

// The source highlighter: which format each character of a line ends up with
// where the rules overlap, and the heading sizes.
class TestHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lines_data();
    void lines();
    void headingSizesFollowFontSize();
    void largeTextColouredAsShown();
    void frontMatterIsYaml();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

namespace {

// One letter per character of the first block, naming its format:
// '.' none, 'H' heading (orange, sized), 'M' marker/keyword/fence (bold 62,206,244),
// 'I' italic, 'B' bold, 'S' struck, 'Q' quote, 'L' list, 'C' inline code,
// 'R' rule, 'K' link, 'G' image, 'T' table bar, '?' anything else. The colours
// named are those on a light background; on a dark one, the dark set's.
QChar letter(const QTextCharFormat &f, bool dark)
{
    const QColor c = f.foreground().color();
    const bool coloured = f.hasProperty(QTextFormat::ForegroundBrush);
    if (!coloured) {
        if (f.fontStrikeOut())
            return QLatin1Char('S');
        if (f.fontWeight() == QFont::Bold)
            return QLatin1Char('B');
        if (f.fontItalic())
            return QLatin1Char('I');
        return QLatin1Char('.');
    }
    using Role = Highlighter::Role;
    const auto is = [c, dark](Role role, const QColor &onLight) {
        return c == (dark ? Highlighter::colour(role, true) : onLight);
    };
    if (is(Role::Heading, QColor(255, 128, 64)) && f.hasProperty(QTextFormat::FontPixelSize))
        return QLatin1Char('H');
    if (is(Role::Marker, QColor(62, 206, 244)) && f.fontWeight() == QFont::Bold)
        return QLatin1Char('M');
    if (is(Role::Quote, QColor(0, 153, 0)))
        return QLatin1Char('Q');
    if (is(Role::List, QColor(223, 85, 255)))
        return QLatin1Char('L');
    if (is(Role::Code, QColor(170, 85, 0)) && !f.fontItalic())
        return QLatin1Char('C');
    if (is(Role::Link, QColor(170, 85, 0)) && f.fontItalic())
        return QLatin1Char('K');
    if (is(Role::Rule, QColor(Qt::darkYellow)))
        return QLatin1Char('R');
    if (is(Role::Image, QColor(170, 17, 17)) && f.fontItalic())
        return QLatin1Char('G');
    if (is(Role::Table, QColor(223, 196, 125)) && f.fontWeight() == QFont::Bold)
        return QLatin1Char('T');
    return QLatin1Char('?');
}

// WCAG contrast ratio of two colours.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QString formatMap(const QTextBlock &block, bool dark = false)
{
    QString map(block.text().size(), QLatin1Char('.'));
    const auto ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange &range : ranges) {
        for (int i = range.start; i < range.start + range.length && i < map.size(); ++i)
            map[i] = letter(range.format, dark);
    }
    return map;
}

} // namespace

void TestHighlighter::initTestCase()
{
    dir = GuiTest::isolate();
}

void TestHighlighter::lines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("map");
    QTest::newRow("heading: marker wins on '# '") << "# Title" << "MMHHHHH";
    QTest::newRow("two spaces: marker on the first only") << "##  Two" << "MMMHHHH";
    QTest::newRow("seven hashes") << "####### x" << ".........";
    QTest::newRow("no space after the hash") << "#Title" << "......";
    QTest::newRow("bold beats italic") << "**bold**" << "BBBBBBBB";
    QTest::newRow("italic") << "*it* x" << "IIII..";
    QTest::newRow("underscores inside words") << "snake_case_name" << ".....IIIIII....";
    QTest::newRow("strike is greedy") << "~~a~~ and ~~b~~" << "SSSSSSSSSSSSSSS";
    QTest::newRow("quote") << "> q" << "QQQ";
    QTest::newRow("ordered item") << "10. item" << "LLLLLLLL";
    QTest::newRow("zero is no item") << "0. item" << ".......";
    QTest::newRow("bullet") << "+ x" << "LLL";
    QTest::newRow("no space, no bullet") << "-item" << ".....";
    QTest::newRow("inline code") << "a `b` c" << "..CCC..";
    QTest::newRow("four dashes") << "----" << "RRR.";
    QTest::newRow("table row") << "| a | b |" << "T...T...T";
    QTest::newRow("table rule line") << "|---|---|" << "TRRRTRRRT";
    QTest::newRow("link with a bar in its text") << "[a|b](u)" << "KKTKKKKK";
    QTest::newRow("link with title") << "[t](u \"x\")" << "KKKKKKKKKK";
    QTest::newRow("image") << "![i](p)" << "GGGGGGG";
    QTest::newRow("keyword inside a heading") << "## int x" << "MMMMMMHH";
    QTest::newRow("keyword in prose") << "an int." << "...MMM.";
    QTest::newRow("keyword needs word bounds") << "print" << ".....";
    QTest::newRow("fence with language") << "```cpp" << "MMMMMM";
    QTest::newRow("empty line") << "" << "";
}

void TestHighlighter::lines()
{
    QFETCH(QString, line);
    QFETCH(QString, map);
    QTextDocument document;
    auto *highlighter = new Highlighter(&document, 16);
    document.setPlainText(line);
    highlighter->rehighlight(); // the first pass is otherwise queued
    QCOMPARE(formatMap(document.firstBlock()), map);

    // On a dark background every rule means the same, in a colour readable there.
    highlighter->setDark(true);
    QCOMPARE(formatMap(document.firstBlock(), true), map);
    const QColor darkBase(25, 25, 25); // the dark palette's text background
    for (const QTextLayout::FormatRange &range : document.firstBlock().layout()->formats()) {
        if (range.format.hasProperty(QTextFormat::ForegroundBrush))
            QVERIFY2(contrast(range.format.foreground().color(), darkBase) >= 4.5,
                     qPrintable(range.format.foreground().color().name()));
    }
    highlighter->setDark(false);
    QCOMPARE(formatMap(document.firstBlock()), map);
}

void TestHighlighter::headingSizesFollowFontSize()
{
    auto sizes = [](int baseSize) {
        QTextDocument document;
        auto *highlighter = new Highlighter(&document, baseSize);
        document.setPlainText(QStringLiteral("# a\n## a\n### a\n#### a\n##### a\n###### a"));
        highlighter->rehighlight();
        QList<int> result;
        for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
            const auto ranges = block.layout()->formats();
            const QTextLayout::FormatRange &last = ranges.last(); // the heading text
            const bool headingLook = last.format.foreground().color() == QColor(255, 128, 64)
                                     && last.format.fontWeight() == QFont::Normal;
            result << (headingLook ? last.format.font().pixelSize() : -1);
        }
        return result;
    };
    QCOMPARE(sizes(16), (QList<int>{25, 24, 22, 20, 19, 17}));
    QCOMPARE(sizes(20), (QList<int>{32, 30, 28, 26, 24, 22}));
    QCOMPARE(sizes(0), sizes(16));
}

void TestHighlighter::largeTextColouredAsShown()
{
    // Too large to colour at once: the lines in view are coloured, the rest
    // when they come into view, and typing in one colours it at once.
    QPlainTextEdit editor;
    editor.resize(600, 400);
    SourceSurface surface(&editor);
    editor.show();
    QString text;
    for (int i = 0; text.size() < 400000; ++i)
        text += QStringLiteral("# Heading %1\n\nSome words and an int.\n\n").arg(i);
    surface.setMarkdown(text);
    QTextDocument *document = editor.document();
    QTRY_COMPARE(formatMap(document->firstBlock()).left(2), QStringLiteral("MM"));
    QTextBlock last = document->lastBlock();
    while (!last.text().startsWith(QLatin1Char('#')))
        last = last.previous();
    QCOMPARE(formatMap(last), QString(last.text().size(), QLatin1Char('.')));

    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
    QTRY_COMPARE(formatMap(last).left(2), QStringLiteral("MM"));

    QTextCursor cursor(document->findBlockByNumber(document->blockCount() / 2));
    editor.setTextCursor(cursor);
    cursor.insertText(QStringLiteral("## "));
    QTRY_COMPARE(formatMap(cursor.block()).left(3), QStringLiteral("MMM"));
}

// The front matter's lines are YAML (keys, values, comments between marker
// lines), never a rule and a heading; without its closing line it is none.
void TestHighlighter::frontMatterIsYaml()
{
    QTextDocument document;
    Highlighter highlighter(&document, 16);
    document.setPlainText(QStringLiteral("---\ntitle: Hi # note\n...\n# H\n"));
    highlighter.rehighlight(); // the first pass is otherwise queued
    const auto colourAt = [&](int line, int column) {
        const QTextBlock block = document.findBlockByNumber(line);
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            if (column >= range.start && column < range.start + range.length)
                return range.format.foreground().color();
        }
        return QColor();
    };
    using Role = Highlighter::Role;
    QCOMPARE(formatMap(document.findBlockByNumber(0)), QStringLiteral("MMM"));
    QCOMPARE(colourAt(1, 0), Highlighter::colour(Role::Heading, false));
    QCOMPARE(colourAt(1, 7), Highlighter::colour(Role::Code, false));
    QCOMPARE(colourAt(1, 11), Highlighter::colour(Role::Marker, false));
    QCOMPARE(formatMap(document.findBlockByNumber(2)), QStringLiteral("MMM"));
    QCOMPARE(formatMap(document.findBlockByNumber(3)), QStringLiteral("MMH"));

    document.setPlainText(QStringLiteral("---\ntitle: Hi\n"));
    highlighter.rehighlight();
    QCOMPARE(colourAt(1, 0), QColor());
}

QTEST_MAIN(TestHighlighter)
#include "tst_highlighter.moc"
