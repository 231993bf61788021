#include "editor/textcommands.h"
#include "support/guitest.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

// The source-mode formatting commands on a plain-text editor.
class TestTextCommands : public QObject
{
    Q_OBJECT

private slots:
    void wrapSelection();
    void prefixCurrentLine_data();
    void prefixCurrentLine();
    void prefixWrappedLineAtParagraphStart();
    void headingsToggle_data();
    void headingsToggle();
    void typingAfterAnEmptyWrapOrBlock();
    void numberedAndBulletedLines();
    void wholeLinesSelectionStopsAtLastLine();
    void horizontalRule();
    void codeBlock();
    void tableSkeleton();
};

static void select(QPlainTextEdit &editor, int anchor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

void TestTextCommands::wrapSelection()
{
    QPlainTextEdit editor;
    TextCommands::wrapSelection(&editor, QStringLiteral("**"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("****"));

    editor.setPlainText(QStringLiteral("say hello now"));
    select(editor, 9, 4); // backwards
    TextCommands::wrapSelection(&editor, QStringLiteral("~~"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("say ~~hello~~ now"));
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("say hello now"));
}

void TestTextCommands::prefixCurrentLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");
    QTest::newRow("heading on the second line") << "one\ntwo" << 6 << "## " << "one\n## two";
    QTest::newRow("prefix already there") << "### x" << 5 << "### " << "### x";
    QTest::newRow("quote on > x") << "> x" << 3 << "> " << "> x";
    QTest::newRow("empty document") << "" << 0 << "> " << "> ";
}

void TestTextCommands::prefixCurrentLine()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QPlainTextEdit editor;
    editor.setPlainText(text);
    select(editor, cursor, cursor);
    TextCommands::prefixCurrentLine(&editor, prefix);
    QCOMPARE(editor.toPlainText(), expected);
}

// With the cursor on the second screen line of a wrapped paragraph the marker
// still goes to the start of the paragraph.
void TestTextCommands::prefixWrappedLineAtParagraphStart()
{
    QPlainTextEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    editor.resize(200, 200);
    const QString text = QStringLiteral("word ").repeated(60).trimmed();
    editor.setPlainText(text);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QVERIFY(editor.document()->firstBlock().layout()->lineCount() > 2);
    select(editor, text.size() - 2, text.size() - 2);
    TextCommands::prefixCurrentLine(&editor, QStringLiteral("# "));
    QCOMPARE(editor.toPlainText(), QStringLiteral("# ") + text);
}

void TestTextCommands::headingsToggle_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected");
    QTest::newRow("paragraph") << "one\ntwo" << 2 << "one\n## two";
    QTest::newRow("another level replaces") << "one\n## two" << 1 << "one\n# two";
    QTest::newRow("same level gives a paragraph") << "one\n### two" << 3 << "one\ntwo";
    QTest::newRow("seven hashes are text") << "one\n####### two" << 1 << "one\n# ####### two";
    QTest::newRow("hashtag is text") << "one\n#tag" << 2 << "one\n## #tag";
}

void TestTextCommands::headingsToggle()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QFETCH(QString, expected);
    QPlainTextEdit editor;
    editor.setPlainText(text);
    editor.moveCursor(QTextCursor::End);
    TextCommands::toggleHeading(&editor, level);
    QCOMPARE(editor.toPlainText(), expected);
    editor.undo(); // one step
    QCOMPARE(editor.toPlainText(), text);
}

// With nothing selected the caret lands where the text belongs: between the
// markers, on the code block's empty line (fences on lines of their own).
void TestTextCommands::typingAfterAnEmptyWrapOrBlock()
{
    QPlainTextEdit editor;
    TextCommands::wrapSelection(&editor, QStringLiteral("**"));
    editor.textCursor().insertText(QStringLiteral("word"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("**word**"));

    editor.setPlainText(QStringLiteral("abcd\nrest"));
    select(editor, 2, 2);
    TextCommands::insertCodeBlock(&editor);
    editor.textCursor().insertText(QStringLiteral("x = 1"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("ab\n```\nx = 1\n```\ncd\nrest"));
}

void TestTextCommands::numberedAndBulletedLines()
{
    QPlainTextEdit editor;
    editor.setPlainText(QStringLiteral("a\nb\nc\nd"));
    // Only a cursor: nothing.
    select(editor, 3, 3);
    TextCommands::prefixSelectedLines(&editor, true);
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\nc\nd"));

    select(editor, 5, 1); // from inside "c" back to the end of "a"
    TextCommands::prefixSelectedLines(&editor, true);
    QCOMPARE(editor.toPlainText(), QStringLiteral("1. a\n2. b\n3. c\nd"));
    select(editor, 0, 11);
    TextCommands::prefixSelectedLines(&editor, true);
    QCOMPARE(editor.toPlainText(), QStringLiteral("1. 1. a\n2. 2. b\n3. 3. c\nd"));
    // Each application is one undo step.
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("1. a\n2. b\n3. c\nd"));
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\nc\nd"));

    select(editor, 2, 7);
    TextCommands::prefixSelectedLines(&editor, false);
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\n- b\n- c\n- d"));
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\nb\nc\nd"));
}

// Whole lines selected down to the start of the next line: that next line is
// not part of the list.
void TestTextCommands::wholeLinesSelectionStopsAtLastLine()
{
    QPlainTextEdit editor;
    editor.setPlainText(QStringLiteral("a\nb\nc"));
    select(editor, 0, 4);
    TextCommands::prefixSelectedLines(&editor, false);
    QCOMPARE(editor.toPlainText(), QStringLiteral("- a\n- b\nc"));
}

void TestTextCommands::horizontalRule()
{
    QPlainTextEdit editor;
    TextCommands::insertHorizontalRule(&editor);
    QCOMPARE(editor.toPlainText(), QStringLiteral("\n---\n"));

    editor.setPlainText(QStringLiteral("abc"));
    select(editor, 3, 3);
    TextCommands::insertHorizontalRule(&editor);
    QCOMPARE(editor.toPlainText(), QStringLiteral("abc\n\n---\n"));

    editor.setPlainText(QStringLiteral("abc"));
    select(editor, 1, 2);
    TextCommands::insertHorizontalRule(&editor);
    QCOMPARE(editor.toPlainText(), QStringLiteral("a\n\n---\nc"));
}

void TestTextCommands::codeBlock()
{
    QPlainTextEdit editor;
    TextCommands::insertCodeBlock(&editor);
    QCOMPARE(editor.toPlainText(), QStringLiteral("```\n\n```"));

    editor.setPlainText(QStringLiteral("x\nint a;\nint b;\ny"));
    select(editor, 2, 15);
    TextCommands::insertCodeBlock(&editor);
    QCOMPARE(editor.toPlainText(), QStringLiteral("x\n```\nint a;\nint b;\n```\ny"));
}

void TestTextCommands::tableSkeleton()
{
    QCOMPARE(TextCommands::markdownTable(2, 2),
             QStringLiteral("\n| Title1,1 | Title1,2 |\n| ----------- | ----------- |\n| Text2,1 | Text2,2 |"));
    QCOMPARE(TextCommands::markdownTable(1, 1), QStringLiteral("\n| Title1,1 |\n| ----------- |"));
    QCOMPARE(TextCommands::markdownTable(3, 1).count(QLatin1Char('\n')), 4);

    QPlainTextEdit editor;
    editor.setPlainText(QStringLiteral("beforeXafter"));
    select(editor, 6, 7);
    TextCommands::insertMarkdownTable(&editor, 1, 2);
    QCOMPARE(editor.toPlainText(),
             QStringLiteral("before\n| Title1,1 | Title1,2 |\n| ----------- | ----------- |after"));
}

QTEST_MAIN(TestTextCommands)
#include "tst_textcommands.moc"
