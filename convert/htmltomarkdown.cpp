#include "convert/htmltomarkdown.h"

#include "convert/converter.h"

#include <QByteArray>
#include <QStringRef>

#include <algorithm>
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

} // namespace

QString htmlToMarkdown(const QString &html)
{
    std::string bytes = utf8Bytes(html);
    // Fences are written on lines of their own, with the containers' prefix;
    // the code between them is never touched.
    std::string markdown = html2md::Converter(std::move(bytes)).convert();
    return QString::fromUtf8(markdown.data(), static_cast<int>(markdown.size()));
}

QString pastedHtmlToMarkdown(const QString &html)
{
    // A page from elsewhere: its layout and styling are not the document's.
    html2md::ConverterOptions options;
    options.keepHtml = false;
    std::string markdown = html2md::Converter(utf8Bytes(html), &options).convert();
    return QString::fromUtf8(markdown.data(), static_cast<int>(markdown.size()));
}
