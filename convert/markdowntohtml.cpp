#include "convert/markdowntohtml.h"

#include "convert/frontmatter.h"
#include "convert/mathspans.h"

#include <QByteArray>

#include <md4c-html.h>
#include <string>

namespace {

// GitHub dialect: tables, strikethrough, task lists, permissive autolinks;
// and TeX math spans.
constexpr unsigned parserFlags = MD_FLAG_PERMISSIVEURLAUTOLINKS | MD_FLAG_PERMISSIVEEMAILAUTOLINKS
    | MD_FLAG_TABLES | MD_FLAG_STRIKETHROUGH | MD_FLAG_PERMISSIVEWWWAUTOLINKS | MD_FLAG_TASKLISTS
    | MD_FLAG_LATEXMATHSPANS;
static_assert(parserFlags == 0x1F0C, "the editor renders the GitHub dialect with math");

void appendChunk(const MD_CHAR *text, MD_SIZE size, void *userData)
{
    static_cast<QByteArray *>(userData)->append(text, int(size));
}

} // namespace

const unsigned markdownParserFlags = parserFlags;

QByteArray markdownBodyToHtml(const char *utf8, int size)
{
    const mathspans::Prepared prepared = mathspans::prepare(utf8, size);
    QByteArray output;
    // The result of md_html only reports running out of memory; whatever
    // was rendered until then is returned.
    md_html(prepared.text.constData(), static_cast<MD_SIZE>(prepared.text.size()), appendChunk, &output,
            parserFlags, 0);
    mathspans::finish(output, prepared, utf8);
    return output;
}

QByteArray markdownToHtml(const char *utf8, int size)
{
    const int metadata = frontmatter::length(utf8, size);
    if (metadata == 0)
        return markdownBodyToHtml(utf8, size);
    return frontmatter::toHtml(utf8, metadata) + markdownBodyToHtml(utf8 + metadata, size - metadata);
}

QString markdownToHtml(const QString &markdown)
{
    QByteArray output;
    {
        const QByteArray input = markdown.toUtf8();
        output = markdownToHtml(input.constData(), input.size());
    }
    return QString::fromUtf8(output.constData(), output.size());
}
