#ifndef MARKDOWNTOHTML_H
#define MARKDOWNTOHTML_H

#include <QByteArray>
#include <QString>

// MD4C's parser flags for the GitHub dialect the editor renders.
extern const unsigned markdownParserFlags;

// Renders Markdown (GitHub dialect) to an HTML fragment with MD4C.
QString markdownToHtml(const QString &markdown);
// The same on UTF-8 bytes.
QByteArray markdownToHtml(const char *utf8, int size);

#endif // MARKDOWNTOHTML_H
