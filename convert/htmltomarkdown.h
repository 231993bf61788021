#ifndef HTMLTOMARKDOWN_H
#define HTMLTOMARKDOWN_H

#include <QString>

// Converts the editing page's HTML (or pasted HTML) back to Markdown.
QString htmlToMarkdown(const QString &html);

#endif // HTMLTOMARKDOWN_H
