#include "editor/textcommands.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace TextCommands {

void wrapSelection(QPlainTextEdit *editor, const QString &marker)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(marker + cursor.selectedText() + marker);
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
    cursor.insertText(QStringLiteral("```\n") + cursor.selectedText() + QStringLiteral("\n```"));
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
