// Markdown to HTML to Markdown, as a switch to the editing page and back
// does, then once more around.

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString markdown = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString once = htmlToMarkdown(markdownToHtml(markdown));
    if (!once.isEmpty() && !once.endsWith(QLatin1Char('\n')))
        std::abort();
    htmlToMarkdown(markdownToHtml(once));
    return 0;
}
