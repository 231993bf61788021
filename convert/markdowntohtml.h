#ifndef MARKDOWNTOHTML_H
#define MARKDOWNTOHTML_H

#include <QByteArray>
#include <QString>

// MD4C's parser flags for the GitHub dialect the editor renders, with TeX math.
extern const unsigned markdownParserFlags;

// Renders Markdown (GitHub dialect, TeX math) to an HTML fragment with MD4C;
// front matter at the start becomes its own block.
QString markdownToHtml(const QString &markdown);
// The same on UTF-8 bytes.
QByteArray markdownToHtml(const char *utf8, int size);
// The same for text that is not the start of a document: no front matter.
QByteArray markdownBodyToHtml(const char *utf8, int size);

#endif // MARKDOWNTOHTML_H
