#include "convert/htmltomarkdown.h"

#include "convert/converter.h"
#include "convert/markdowntext.h"

#include <QByteArray>
#include <QStringRef>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The UTF-8 bytes of the text, encoded a slice at a time so that no second
// full-size copy exists next to the result. Slices never split a surrogate
// pair, so the bytes equal those of QString::toUtf8 on the whole text.
std::string utf8Bytes(const QString &text)
{
    constexpr int slice = 1 << 16;
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()) + static_cast<size_t>(text.size()) / 8);
    for (int pos = 0; pos < text.size();) {
        int length = std::min(slice, text.size() - pos);
        if (pos + length < text.size() && text.at(pos + length - 1).isHighSurrogate())
            ++length;
        const QByteArray part = text.midRef(pos, length).toUtf8();
        bytes.append(part.constData(), static_cast<size_t>(part.size()));
        pos += length;
    }
    return bytes;
}

// Gives every empty table cell a non-breaking space, so the cell survives
// the table formatter and comes out as a space. Cells whose opening tag has
// attributes count too: the renderer writes align attributes on every cell of
// an aligned column, and an empty first cell would otherwise vanish and shift
// the rest of its row one column to the left.
void fillEmptyCells(std::string &html)
{
    const char *data = html.data();
    const size_t size = html.size();
    std::string result;
    size_t copied = 0;
    size_t from = 0;
    while (from < size) {
        const void *lt = std::memchr(data + from, '<', size - from);
        if (!lt)
            break;
        const size_t pos = static_cast<size_t>(static_cast<const char *>(lt) - data);
        from = pos + 1;
        if (size - pos < 9 || data[pos + 1] != 't' || (data[pos + 2] != 'd' && data[pos + 2] != 'h'))
            continue;
        size_t end = pos + 3; // the ">" of the opening tag
        if (data[end] == ' ') {
            while (end < size && data[end] != '>' && data[end] != '<')
                ++end;
        }
        if (end >= size || data[end] != '>')
            continue;
        const char closing[] = {'<', '/', 't', data[pos + 2], '>'};
        if (size - end - 1 < sizeof closing || std::memcmp(data + end + 1, closing, sizeof closing) != 0)
            continue;
        if (result.empty())
            result.reserve(size + size / 64 + 64);
        result.append(data + copied, end + 1 - copied);
        result.append("&nbsp;");
        copied = from = end + 1;
    }
    if (copied == 0)
        return; // nothing to fill: keep the text as it is
    result.append(data + copied, size - copied);
    html.swap(result);
}

} // namespace

QString htmlToMarkdown(const QString &html)
{
    std::string bytes = utf8Bytes(html);
    fillEmptyCells(bytes);
    // Fences are written on lines of their own, with the containers' prefix;
    // the code between them is never touched.
    std::string markdown = html2md::Converter(std::move(bytes)).convert();
    return QString::fromUtf8(markdown.data(), static_cast<int>(markdown.size()));
}
