#ifndef EXPORTHTML_H
#define EXPORTHTML_H

#include <QString>

// The page HTML made standalone: not editable, no scripts, no external style
// sheets, no ids, with the given theme and the program's sheets inlined in the head;
// the code blocks in the CodeMirror theme codeTheme, its sheet inlined too.
QString makeStandaloneHtml(const QString &pageHtml, const QString &themeCss = QString(),
                           const QString &codeTheme = QStringLiteral("default"));

// Writes text as UTF-8 (no byte-order mark, platform line ends) through QSaveFile, so
// a failed write never leaves a truncated file. On failure returns false and sets *error.
bool writeTextFile(const QString &path, const QString &text, QString *error = nullptr);

#endif // EXPORTHTML_H
