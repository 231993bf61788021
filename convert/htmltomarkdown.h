#ifndef HTMLTOMARKDOWN_H
#define HTMLTOMARKDOWN_H

#include <QString>

// Converts the editing page's HTML back to Markdown; what Markdown cannot
// say stays HTML.
QString htmlToMarkdown(const QString &html);

// Converts HTML pasted from elsewhere: only what Markdown can say is kept.
QString pastedHtmlToMarkdown(const QString &html);

#endif // HTMLTOMARKDOWN_H
