#include "convert/markdownwriter.h"

#include "convert/markdownescape.h"

#include <cstring>

namespace html2md {

namespace {

inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

void MarkdownWriter::beginContent()
{
    if (fresh) {
        fresh = false;
        pendingBreak = Break::None;
        pendingHardBreak = false;
        return;
    }
    if (pendingBreak == Break::None) {
        if (pendingHardBreak) {
            pendingHardBreak = false;
            trimLineEnd();
            text.append("  ");
            newLine();
        }
        return;
    }
    pendingHardBreak = false;
    const Break kind = pendingBreak;
    pendingBreak = Break::None;
    if (text.empty())
        return;
    trimLineEnd();
    if (kind == Break::Blank) {
        // The empty line keeps the quotes' markers, without their spaces.
        text.push_back('\n');
        size_t end = prefix.size();
        while (end > 0 && prefix[end - 1] == ' ')
            --end;
        text.append(prefix, 0, end);
    }
    newLine();
}

void MarkdownWriter::newLine()
{
    text.push_back('\n');
    text.append(prefix);
    column = prefix.size();
    lineStart = text.size();
    wrapPoint = std::string::npos;
}

void MarkdownWriter::trimLineEnd()
{
    size_t end = text.size();
    while (end > lineStart && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    text.resize(end);
}

void MarkdownWriter::appendLines(const char *bytes, size_t size)
{
    text.append(bytes, size);
    size_t i = size;
    while (i > 0 && bytes[i - 1] != '\n')
        --i;
    column = i > 0 ? size - i : column + size;
}

void MarkdownWriter::breakVerbatimLine(bool oneLine)
{
    if (oneLine) {
        text.push_back(' ');
        return;
    }
    text.push_back('\n');
    text.append(prefix);
    column = prefix.size();
    lineStart = text.size();
}

void MarkdownWriter::writeVerbatim(const char *bytes, size_t size, bool oneLine)
{
    while (size > 0) {
        const void *nl = std::memchr(bytes, '\n', size);
        const size_t stop = nl ? static_cast<size_t>(static_cast<const char *>(nl) - bytes) : size;
        text.append(bytes, stop);
        column += stop;
        if (!nl)
            break;
        breakVerbatimLine(oneLine);
        bytes += stop + 1;
        size -= stop + 1;
    }
    wrapPoint = std::string::npos;
}

void MarkdownWriter::openContainer(bool quote, const std::string &marker)
{
    text.append(marker);
    column += marker.size();
    containers.push_back(Container{quote, prefix.size(), false});
    if (quote)
        prefix.append(marker);
    else
        prefix.append(marker.size(), ' ');
    lineStart = text.size();
    wrapPoint = std::string::npos;
    fresh = true;
}

void MarkdownWriter::closeContainer(bool quote)
{
    // Only the innermost container of the right kind closes; stray closing
    // tags leave the layout alone.
    if (containers.empty() || containers.back().quote != quote)
        return;
    // Breaks asked for by the container's last block end with it.
    pendingBreak = Break::None;
    prefix.resize(containers.back().prefixBefore);
    containers.pop_back();
    if (fresh) {
        trimLineEnd();
        fresh = false;
    }
    pendingHardBreak = false;
}

size_t MarkdownWriter::wrapAtLastSpace()
{
    const size_t at = wrapPoint;
    if (at == std::string::npos || at < lineStart || at + 1 >= text.size() || !safeLineStart(text[at + 1]))
        return std::string::npos;
    text[at] = '\n';
    text.insert(at + 1, prefix);
    lineStart = at + 1 + prefix.size();
    column = text.size() - lineStart + prefix.size();
    wrapPoint = std::string::npos;
    return at;
}

void MarkdownWriter::finish()
{
    size_t end = text.size();
    while (end > 0 && isSpace(text[end - 1]))
        --end;
    text.resize(end);
    if (!text.empty())
        text.push_back('\n');
}

} // namespace html2md
