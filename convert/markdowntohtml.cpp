#include "convert/markdowntohtml.h"

#include <md4c-html.h>
#include <string>

namespace {
void appendChunk(const MD_CHAR *text, MD_SIZE size, void *userData)
{
    static_cast<std::string *>(userData)->append(text, size);
}
} // namespace

QString markdownToHtml(const QString &markdown)
{
    const std::string input = markdown.toStdString();
    std::string output;
    md_html(input.data(), static_cast<MD_SIZE>(input.size()), appendChunk, &output, 0x0F0C, 0);
    return QString::fromStdString(output);
}
