#ifndef EXPORTHTML_H
#define EXPORTHTML_H

#include <QString>

// The page HTML made standalone: not editable, no scripts, no external style
// sheets, no ids, with the given theme and the program's sheets inlined in the head;
// the code blocks in the CodeMirror theme codeTheme, its sheet inlined too. The
// program's sheets are read from the resources the editor links in.
QString makeStandaloneHtml(const QString &pageHtml, const QString &themeCss = QString(),
                           const QString &codeTheme = QStringLiteral("default"));

#endif // EXPORTHTML_H
