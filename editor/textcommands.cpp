#include "editor/textcommands.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace TextCommands {

void wrapSelection(QPlainTextEdit *editor, const QString &marker)
{
    QTextCursor cursor = editor->textCursor();
    const bool empty = !cursor.hasSelection();
    cursor.insertText(marker + cursor.selectedText() + marker);
    // Nothing selected: the caret goes between the markers, where the text is typed.
    if (empty)
        cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, marker.size());
    editor->setTextCursor(cursor);
}

void prefixCurrentLine(QPlainTextEdit *editor, const QString &prefix)
{
    QTextCursor cursor = editor->textCursor();
    if (cursor.block().text().startsWith(prefix))
        return;
    // The start of the paragraph, not of the visual line: a wrapped line must
    // not get its marker in the middle of the text.
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::MoveAnchor);
    cursor.insertText(prefix);
    editor->setTextCursor(cursor);
}

void toggleHeading(QPlainTextEdit *editor, int level)
{
    QTextCursor cursor = editor->textCursor();
    const QString text = cursor.block().text();
    int current = 0;
    while (current < text.size() && current < 7 && text.at(current) == QLatin1Char('#'))
        ++current;
    const bool marked = current >= 1 && current <= 6 && current < text.size() && text.at(current) == QLatin1Char(' ');
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::MoveAnchor);
    cursor.beginEditBlock();
    if (marked) {
        cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, current + 1);
        cursor.removeSelectedText();
    }
    // The same level again makes the line a paragraph.
    if (!marked || current != level)
        cursor.insertText(QString(level, QLatin1Char('#')) + QLatin1Char(' '));
    cursor.endEditBlock();
    editor->setTextCursor(cursor);
}

void prefixSelectedLines(QPlainTextEdit *editor, bool numbered)
{
    QTextCursor cursor = editor->textCursor();
    if (!cursor.hasSelection())
        return;
    const int start = qMin(cursor.anchor(), cursor.position());
    const int end = qMax(cursor.anchor(), cursor.position());
    QTextDocument *document = editor->document();
    const int firstBlock = document->findBlock(start).blockNumber();
    QTextBlock endBlock = document->findBlock(end);
    int lastBlock = endBlock.blockNumber();
    // A selection that runs up to the start of the next line (whole lines
    // selected by dragging or Shift+Down) does not include that line.
    if (end == endBlock.position() && lastBlock > firstBlock)
        --lastBlock;

    cursor.setPosition(start);
    cursor.beginEditBlock();
    int n = 1;
    for (QTextBlock block = document->findBlockByNumber(firstBlock);
         block.isValid() && block.blockNumber() <= lastBlock; block = block.next(), ++n) {
        cursor.setPosition(block.position());
        cursor.insertText(numbered ? QStringLiteral("%1. ").arg(n) : QStringLiteral("- "));
    }
    cursor.endEditBlock();
}

void insertHorizontalRule(QPlainTextEdit *editor)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(cursor.block().text().isEmpty() ? QStringLiteral("\n---\n")
                                                      : QStringLiteral("\n\n---\n"));
    editor->setTextCursor(cursor);
}

void insertCodeBlock(QPlainTextEdit *editor)
{
    QTextCursor cursor = editor->textCursor();
    const bool empty = !cursor.hasSelection();
    // A fence counts only at the start of its line: text around the block
    // stays on lines of its own.
    QTextCursor start(cursor);
    start.setPosition(cursor.selectionStart());
    QTextCursor end(cursor);
    end.setPosition(cursor.selectionEnd());
    const QString before = start.atBlockStart() ? QString() : QStringLiteral("\n");
    const QString after = end.atBlockEnd() ? QString() : QStringLiteral("\n");
    // The selection holds paragraph separators where it spans lines.
    const QString code = cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    cursor.insertText(before + QStringLiteral("```\n") + code + QStringLiteral("\n```") + after);
    // Nothing selected: the caret goes onto the block's empty line.
    if (empty)
        cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 4 + after.size());
    editor->setTextCursor(cursor);
}

QString markdownTable(int rows, int columns)
{
    QString text;
    for (int r = 1; r <= rows; ++r) {
        text += QStringLiteral("\n|");
        if (r == 1) {
            for (int c = 1; c <= columns; ++c)
                text += QStringLiteral(" Title%1,%2 |").arg(1).arg(c);
            text += QStringLiteral("\n|");
            for (int c = 1; c <= columns; ++c)
                text += QStringLiteral(" ----------- |");
        } else {
            for (int c = 1; c <= columns; ++c)
                text += QStringLiteral(" Text%1,%2 |").arg(r).arg(c);
        }
    }
    return text;
}

void insertMarkdownTable(QPlainTextEdit *editor, int rows, int columns)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(markdownTable(rows, columns));
    editor->setTextCursor(cursor);
}

} // namespace TextCommands
