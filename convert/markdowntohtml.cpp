#include "convert/markdowntohtml.h"

#include <QByteArray>

#include <md4c-html.h>
#include <string>

namespace {

// GitHub dialect: tables, strikethrough, task lists, permissive autolinks.
constexpr unsigned parserFlags = MD_FLAG_PERMISSIVEURLAUTOLINKS | MD_FLAG_PERMISSIVEEMAILAUTOLINKS
    | MD_FLAG_TABLES | MD_FLAG_STRIKETHROUGH | MD_FLAG_PERMISSIVEWWWAUTOLINKS | MD_FLAG_TASKLISTS;
static_assert(parserFlags == 0x0F0C, "the editor renders the GitHub dialect");

void appendChunk(const MD_CHAR *text, MD_SIZE size, void *userData)
{
    static_cast<std::string *>(userData)->append(text, size);
}

} // namespace

const unsigned markdownParserFlags = parserFlags;

QByteArray markdownToHtml(const char *utf8, int size)
{
    std::string output;
    md_html(utf8, static_cast<MD_SIZE>(size), appendChunk, &output, parserFlags, 0);
    return QByteArray(output.data(), static_cast<int>(output.size()));
}

QString markdownToHtml(const QString &markdown)
{
    std::string output;
    {
        const QByteArray input = markdown.toUtf8();
        // The result of md_html only reports running out of memory; whatever
        // was rendered until then is returned.
        md_html(input.constData(), static_cast<MD_SIZE>(input.size()), appendChunk, &output,
                parserFlags, 0);
    }
    return QString::fromUtf8(output.data(), static_cast<int>(output.size()));
}
