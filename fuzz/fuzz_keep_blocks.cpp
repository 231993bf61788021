// A save from the page that keeps the blocks the user left alone: the blocks
// make up the text, an untouched page gives the text back byte for byte, and
// a page with one top-level node gone (chosen by the first byte) is saved
// without a crash.

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "convert/sourceblocks.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QString markdown = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1, static_cast<int>(size) - 1);
    const SourceBlocks blocks(markdown);
    if (blocks.blocks().join(QString()) != markdown)
        std::abort();
    QString html = markdownToHtml(markdown);
    if (blocks.markdownFor(html) != markdown)
        std::abort();
    const QVector<SourceBlocks::Span> nodes = SourceBlocks::topLevelNodes(html);
    if (!nodes.isEmpty()) {
        const SourceBlocks::Span gone = nodes.at(data[0] % nodes.size());
        html.remove(gone.start, gone.end - gone.start);
        const QString saved = blocks.markdownFor(html);
        // Only a page that holds text must give some: "<p>" alone holds none.
        if (saved.isEmpty() && !htmlToMarkdown(html).trimmed().isEmpty())
            std::abort();
    }
    return 0;
}
