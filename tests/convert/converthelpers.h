#ifndef CONVERTHELPERS_H
#define CONVERTHELPERS_H

#include "convert/converter.h"
#include "convert/htmltomarkdown.h"

#include <QByteArray>
#include <QString>

#include <string>

// Byte-level results, so QCOMPARE prints the bytes on a mismatch.
inline QByteArray toMarkdown(const char *html)
{
    return htmlToMarkdown(QString::fromUtf8(html)).toUtf8();
}

inline QByteArray convertBytes(const QByteArray &html, const html2md::ConverterOptions *options = nullptr)
{
    html2md::Converter converter(html.toStdString(), options);
    const std::string markdown = converter.convert();
    return QByteArray(markdown.data(), static_cast<int>(markdown.size()));
}

#endif // CONVERTHELPERS_H
