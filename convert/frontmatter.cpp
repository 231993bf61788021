#include "convert/frontmatter.h"

#include "convert/mathspans.h"

#include <QRegularExpression>

#include <cstring>
#include <string>

namespace frontmatter {

namespace {

// The line [begin, end) is the mark alone, trailing spaces allowed.
bool isDelimiter(const char *begin, const char *end, const char *mark)
{
    if (end - begin < 3 || std::memcmp(begin, mark, 3) != 0)
        return false;
    for (const char *p = begin + 3; p < end; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    }
    return true;
}

const char *lineEnd(const char *p, const char *end)
{
    const void *nl = std::memchr(p, '\n', size_t(end - p));
    return nl ? static_cast<const char *>(nl) + 1 : end;
}

} // namespace

int length(const char *utf8, int size)
{
    const char *end = utf8 + size;
    const char *first = lineEnd(utf8, end);
    // "---" then a line with text: "---" and an empty line is a rule.
    if (!isDelimiter(utf8, first, "---") || first == end || *first == '\n' || *first == '\r')
        return 0;
    for (const char *line = first; line < end;) {
        const char *next = lineEnd(line, end);
        if (isDelimiter(line, next, "---") || isDelimiter(line, next, "..."))
            return int(next - utf8);
        line = next;
    }
    return 0;
}

QByteArray toHtml(const char *utf8, int length)
{
    const char *end = utf8 + length;
    const char *yaml = lineEnd(utf8, end);
    // The closing line is the last one of the block.
    const char *closing = end;
    while (closing > yaml && closing[-1] == '\n')
        --closing;
    while (closing > yaml && closing[-1] != '\n')
        --closing;
    QByteArray html = "<pre ";
    html += htmlAttribute;
    html += "=\"";
    html += QByteArray(closing, 3);
    html += "\"><code class=\"language-yaml\">";
    mathspans::appendHtmlEscaped(html, yaml, closing);
    html += "</code></pre>\n";
    return html;
}

std::string toMarkdown(const std::string &yaml, const std::string &end)
{
    std::string text = "---\n" + yaml;
    if (!yaml.empty() && yaml.back() != '\n')
        text += '\n';
    return text + (end == "..." ? "..." : "---");
}

QString title(const QString &markdown)
{
    const QByteArray bytes = markdown.left(64 * 1024).toUtf8();
    const int size = length(bytes.constData(), bytes.size());
    if (size == 0)
        return QString();
    static const QRegularExpression key(QStringLiteral("^title:[ \\t]*(.*?)[ \\t]*\\r?$"),
                                        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = key.match(QString::fromUtf8(bytes.left(size)));
    if (!match.hasMatch())
        return QString();
    QString value = match.captured(1);
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

} // namespace frontmatter
