// Feeds arbitrary bytes to markdownToHtml.

#include "convert/markdowntohtml.h"

#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString markdown = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    markdownToHtml(markdown);
    return 0;
}
