#ifndef MARKDOWNTOHTML_H
#define MARKDOWNTOHTML_H

#include <QString>

// Renders Markdown (GitHub dialect) to an HTML fragment with MD4C.
QString markdownToHtml(const QString &markdown);

#endif // MARKDOWNTOHTML_H
