// Feeds arbitrary bytes to htmlToMarkdown and, with options taken from the
// first bytes, to the converter itself.

#include "convert/converter.h"
#include "convert/htmltomarkdown.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString markdown = htmlToMarkdown(html);
    // The clean-up ends every line with a line feed.
    if (!markdown.isEmpty() && !markdown.endsWith(QLatin1Char('\n')))
        std::abort();

    if (size < 4)
        return 0;
    html2md::ConverterOptions options;
    options.wrapLines = data[0] & 1;
    options.keepTitle = data[0] & 2;
    options.alignTables = data[0] & 4;
    options.softWrapColumn = static_cast<int8_t>(data[1]);
    options.hardWrapColumn = static_cast<int8_t>(data[2]);
    options.bulletMarker = (data[0] & 8) ? '*' : '-';
    options.orderedMarker = (data[0] & 16) ? ')' : '.';
    options.keepHtml = data[0] & 32;
    html2md::Converter converter(std::string(reinterpret_cast<const char *>(data) + 3, size - 3), &options);
    const std::string first = converter.convert();
    if (converter.convert() != first)
        std::abort();
    return 0;
}
