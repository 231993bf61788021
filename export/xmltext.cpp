#include "export/xmltext.h"

#include "convert/htmlsyntax.h"

#include <QHash>

#include <cstring>

namespace xmltext {

namespace {

void appendUtf8(QByteArray &out, uint code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The named references people actually type; the rest stay as written.
const QHash<QByteArray, uint> &namedEntities()
{
    static const QHash<QByteArray, uint> table = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
        {"nbsp", 0xA0}, {"copy", 0xA9}, {"reg", 0xAE}, {"trade", 0x2122}, {"deg", 0xB0},
        {"plusmn", 0xB1}, {"times", 0xD7}, {"divide", 0xF7}, {"middot", 0xB7}, {"sect", 0xA7},
        {"para", 0xB6}, {"cent", 0xA2}, {"pound", 0xA3}, {"yen", 0xA5}, {"euro", 0x20AC},
        {"laquo", 0xAB}, {"raquo", 0xBB}, {"lsquo", 0x2018}, {"rsquo", 0x2019},
        {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"ndash", 0x2013}, {"mdash", 0x2014},
        {"hellip", 0x2026}, {"bull", 0x2022}, {"dagger", 0x2020}, {"larr", 0x2190},
        {"uarr", 0x2191}, {"rarr", 0x2192}, {"darr", 0x2193}, {"harr", 0x2194},
        {"rArr", 0x21D2}, {"lArr", 0x21D0}, {"hArr", 0x21D4}, {"le", 0x2264}, {"ge", 0x2265},
        {"ne", 0x2260}, {"asymp", 0x2248}, {"infin", 0x221E}, {"check", 0x2713},
        {"shy", 0xAD}, {"ensp", 0x2002}, {"emsp", 0x2003}, {"thinsp", 0x2009},
        {"zwj", 0x200D}, {"zwnj", 0x200C}, {"iexcl", 0xA1}, {"iquest", 0xBF},
        {"frac12", 0xBD}, {"frac14", 0xBC}, {"frac34", 0xBE}, {"micro", 0xB5},
        {"alpha", 0x3B1}, {"beta", 0x3B2}, {"gamma", 0x3B3}, {"delta", 0x3B4}, {"pi", 0x3C0},
        {"sigma", 0x3C3}, {"mu", 0x3BC}, {"lambda", 0x3BB}, {"Omega", 0x3A9}, {"omega", 0x3C9},
    };
    return table;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isBlockTag(const QByteArray &name)
{
    static const QHash<QByteArray, bool> blocks = {
        {"p", true}, {"div", true}, {"li", true}, {"ul", true}, {"ol", true}, {"tr", true},
        {"table", true}, {"h1", true}, {"h2", true}, {"h3", true}, {"h4", true}, {"h5", true},
        {"h6", true}, {"blockquote", true}, {"pre", true}, {"hr", true}, {"section", true},
        {"article", true}, {"header", true}, {"footer", true}, {"nav", true}, {"dl", true},
        {"dt", true}, {"dd", true}, {"figure", true}, {"figcaption", true}, {"details", true},
        {"summary", true}, {"address", true}, {"aside", true}, {"main", true}, {"caption", true},
    };
    return blocks.contains(name);
}

// Position just past the '>' ending the tag that starts at i; quoted
// attribute values may hold '>'.
int tagEnd(const char *s, int i, int n)
{
    return int(htmlsyntax::tagEnd(s, size_t(i + 1), size_t(n)));
}

int find(const char *s, int from, int n, const char *needle, bool caseless)
{
    const int len = int(std::strlen(needle));
    for (int i = from; i + len <= n; ++i) {
        const int cmp = caseless ? qstrnicmp(s + i, needle, uint(len)) : std::strncmp(s + i, needle, size_t(len));
        if (cmp == 0)
            return i;
    }
    return -1;
}

// Length of an entity reference starting at s[i] ('&'), or 0.
int entityLength(const char *s, int i, int n)
{
    int j = i + 1;
    if (j < n && s[j] == '#') {
        ++j;
        const bool hex = j < n && (s[j] == 'x' || s[j] == 'X');
        if (hex)
            ++j;
        const int digits = j;
        while (j < n && j - digits < 8 && (hex ? isxdigit(uchar(s[j])) : isdigit(uchar(s[j]))))
            ++j;
        if (j == digits)
            return 0;
    } else {
        while (j < n && j - i < 40 && isalnum(uchar(s[j])))
            ++j;
        if (j == i + 1)
            return 0;
    }
    return j < n && s[j] == ';' ? j + 1 - i : 0;
}

} // namespace

void appendEscaped(QByteArray &out, const char *text, int size)
{
    int start = 0;
    auto flush = [&](int end) {
        if (end > start)
            out.append(text + start, end - start);
    };
    for (int i = 0; i < size; ++i) {
        const uchar c = uchar(text[i]);
        const char *replacement = nullptr;
        int skip = 1;
        switch (c) {
        case '&': replacement = "&amp;"; break;
        case '<': replacement = "&lt;"; break;
        case '>': replacement = "&gt;"; break;
        case '"': replacement = "&quot;"; break;
        case '\t': case '\n': case '\r': continue;
        case 0xEF:
            // U+FFFE and U+FFFF are not characters XML allows.
            if (i + 2 < size && uchar(text[i + 1]) == 0xBF && (uchar(text[i + 2]) & 0xFE) == 0xBE) {
                replacement = "";
                skip = 3;
                break;
            }
            continue;
        default:
            if (c >= 0x20)
                continue;
            replacement = "";
        }
        flush(i);
        out.append(replacement);
        i += skip - 1;
        start = i + 1;
    }
    flush(size);
}

QByteArray escaped(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

QByteArray decodeEntity(const char *text, int size)
{
    const QByteArray written(text, size);
    if (size < 3 || text[0] != '&' || text[size - 1] != ';')
        return written;
    QByteArray out;
    if (text[1] == '#') {
        const bool hex = text[2] == 'x' || text[2] == 'X';
        bool ok = false;
        const uint code = QByteArray(text + (hex ? 3 : 2), size - (hex ? 4 : 3)).toUInt(&ok, hex ? 16 : 10);
        appendUtf8(out, ok ? code : 0xFFFD);
        return out;
    }
    const auto found = namedEntities().constFind(QByteArray(text + 1, size - 2));
    if (found == namedEntities().constEnd())
        return written;
    appendUtf8(out, found.value());
    return out;
}

bool isBreakTag(const char *text, int size)
{
    if (size < 4 || text[0] != '<' || qstrnicmp(text + 1, "br", 2) != 0)
        return false;
    const char next = text[3];
    return next == '>' || next == '/' || isSpace(next);
}

QVector<QByteArray> htmlParagraphs(const QByteArray &html)
{
    QVector<QByteArray> paragraphs;
    QByteArray current;
    bool space = false;
    auto endParagraph = [&]() {
        while (current.endsWith(' ') || current.endsWith('\n'))
            current.chop(1);
        if (!current.isEmpty())
            paragraphs.append(current);
        current.clear();
        space = false;
    };
    auto put = [&](const QByteArray &text) {
        if (space && !current.isEmpty() && !current.endsWith('\n'))
            current += ' ';
        space = false;
        current += text;
    };

    const char *s = html.constData();
    const int n = html.size();
    int i = 0;
    while (i < n) {
        const char c = s[i];
        if (c == '<' && i + 1 < n && (isalpha(uchar(s[i + 1])) || s[i + 1] == '/' || s[i + 1] == '!' || s[i + 1] == '?')) {
            if (html.mid(i, 4) == "<!--") {
                const int close = find(s, i + 4, n, "-->", false);
                i = close < 0 ? n : close + 3;
                continue;
            }
            const int end = tagEnd(s, i, n);
            const bool closing = s[i + 1] == '/';
            int nameStart = i + (closing ? 2 : 1);
            int nameEnd = nameStart;
            while (nameEnd < end && isalnum(uchar(s[nameEnd])))
                ++nameEnd;
            const QByteArray name = QByteArray(s + nameStart, nameEnd - nameStart).toLower();
            i = end;
            if (!closing && (name == "script" || name == "style")) {
                const int close = find(s, i, n, ("</" + name).constData(), true);
                i = close < 0 ? n : tagEnd(s, close, n);
            } else if (name == "br") {
                while (current.endsWith(' '))
                    current.chop(1);
                if (!current.isEmpty())
                    current += '\n';
                space = false;
            } else if (isBlockTag(name)) {
                endParagraph();
            } else if (name == "td" || name == "th") {
                space = true;
            }
            continue;
        }
        if (isSpace(c)) {
            space = true;
            ++i;
            continue;
        }
        if (c == '&') {
            const int length = entityLength(s, i, n);
            if (length > 0) {
                put(decodeEntity(s + i, length));
                i += length;
                continue;
            }
        }
        int j = i + 1;
        while (j < n && s[j] != '<' && s[j] != '&' && !isSpace(s[j]))
            ++j;
        put(QByteArray(s + i, j - i));
        i = j;
    }
    endParagraph();
    return paragraphs;
}

} // namespace xmltext
