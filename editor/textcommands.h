#ifndef TEXTCOMMANDS_H
#define TEXTCOMMANDS_H

#include <QString>

class QPlainTextEdit;

// Source-mode formatting: Markdown edits through the editor's text cursor.
namespace TextCommands {

// marker + selection + marker, replacing the selection; with none, "****" with
// the caret between the markers.
void wrapSelection(QPlainTextEdit *editor, const QString &marker);
// Puts prefix at the start of the cursor's line unless the line already starts with it.
void prefixCurrentLine(QPlainTextEdit *editor, const QString &prefix);
// "#" level times and a space before the cursor's line, in place of another
// level's marker; on a line of that level already, the marker goes.
void toggleHeading(QPlainTextEdit *editor, int level);
// "1. ", "2. ", ... (numbered) or "- " before every selected line, in one undo step.
void prefixSelectedLines(QPlainTextEdit *editor, bool numbered);
// "\n\n---\n" when the cursor's line has text, else "\n---\n".
void insertHorizontalRule(QPlainTextEdit *editor);
// "```\n" + selection + "\n```", replacing the selection, the fences on lines
// of their own; with no selection the caret is on the block's empty line.
void insertCodeBlock(QPlainTextEdit *editor);
// The Markdown table skeleton for rows by columns (no trailing newline).
QString markdownTable(int rows, int columns);
void insertMarkdownTable(QPlainTextEdit *editor, int rows, int columns);

} // namespace TextCommands

#endif // TEXTCOMMANDS_H
