#include "editor/textcommands.h"

#include <QPlainTextEdit>

// Placeholder until the source-mode commands land.
namespace TextCommands {
void wrapSelection(QPlainTextEdit *, const QString &) {}
void prefixCurrentLine(QPlainTextEdit *, const QString &) {}
void prefixSelectedLines(QPlainTextEdit *, bool) {}
void insertHorizontalRule(QPlainTextEdit *) {}
void insertCodeBlock(QPlainTextEdit *) {}
QString markdownTable(int, int) { return QString(); }
void insertMarkdownTable(QPlainTextEdit *, int, int) {}
} // namespace TextCommands
