#include "convert/mathspans.h"

#include "convert/markdowntohtml.h"

#include <md4c.h>

#include <algorithm>
#include <cstring>

namespace mathspans {

namespace {

bool isSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A dollar of the text as MD4C reads it without math: where it is, and in
// which block.
struct Dollar
{
    int offset;
    int block;
    bool nested;  // in a quote or a list item
    bool inImage; // alt text: never math
};

struct Collector
{
    const char *begin;
    const char *end;
    int block = 0;
    int containers = 0;
    int images = 0;
    std::vector<MD_ATTRIBUTE> links; // the targets of the open links
    const char *previousEnd = nullptr;
    std::vector<Dollar> dollars;
};

int enterBlock(MD_BLOCKTYPE type, void *, void *user)
{
    auto *c = static_cast<Collector *>(user);
    ++c->block;
    if (type == MD_BLOCK_QUOTE || type == MD_BLOCK_LI)
        ++c->containers;
    return 0;
}

int leaveBlock(MD_BLOCKTYPE type, void *, void *user)
{
    auto *c = static_cast<Collector *>(user);
    ++c->block;
    if (type == MD_BLOCK_QUOTE || type == MD_BLOCK_LI)
        --c->containers;
    return 0;
}

int enterSpan(MD_SPANTYPE type, void *detail, void *user)
{
    auto *c = static_cast<Collector *>(user);
    if (type == MD_SPAN_IMG)
        ++c->images;
    else if (type == MD_SPAN_A)
        c->links.push_back(static_cast<MD_SPAN_A_DETAIL *>(detail)->href);
    return 0;
}

int leaveSpan(MD_SPANTYPE type, void *, void *user)
{
    auto *c = static_cast<Collector *>(user);
    if (type == MD_SPAN_IMG)
        --c->images;
    else if (type == MD_SPAN_A)
        c->links.pop_back();
    return 0;
}

// An autolink's text is its own target: a dollar there is part of an address.
bool inAutolink(const Collector &c, const MD_CHAR *text, MD_SIZE size)
{
    if (c.links.empty())
        return false;
    const MD_ATTRIBUTE &href = c.links.back();
    return text >= href.text && text + size <= href.text + href.size;
}

int text(MD_TEXTTYPE type, const MD_CHAR *text, MD_SIZE size, void *user)
{
    auto *c = static_cast<Collector *>(user);
    if (type != MD_TEXT_NORMAL || text < c->begin || text + size > c->end) {
        c->previousEnd = nullptr;
        return 0;
    }
    // A text that starts after a gap holding a backslash is an escaped character.
    const bool escaped = text > c->begin && text[-1] == '\\' && c->previousEnd != text;
    c->previousEnd = text + size;
    if (inAutolink(*c, text, size))
        return 0;
    for (MD_SIZE k = escaped ? 1 : 0; k < size; ++k) {
        if (text[k] == '$')
            c->dollars.push_back({int(text - c->begin + k), c->block, c->containers > 0, c->images > 0});
    }
    return 0;
}

// Adjacent dollars of one block.
struct Run
{
    int from;
    int length;
    int block;
    bool nested;
    bool inImage;
};

std::vector<Run> runsOf(const std::vector<Dollar> &dollars)
{
    std::vector<Run> runs;
    for (const Dollar &d : dollars) {
        if (!runs.empty() && runs.back().block == d.block && runs.back().from + runs.back().length == d.offset)
            ++runs.back().length;
        else
            runs.push_back({d.offset, 1, d.block, d.nested, d.inImage});
    }
    return runs;
}

class Pairing
{
public:
    Pairing(const char *utf8, int size, std::vector<Run> runs) : src(utf8), size(size), runs(std::move(runs)) {}

    // Pairs the runs of each block; those left over are hidden.
    void pair(Prepared &out)
    {
        // The next run at or after each that can close a formula of each kind.
        const int n = int(runs.size());
        std::vector<int> nextSingle(size_t(n) + 1, n), nextDouble(size_t(n) + 1, n);
        for (int i = n - 1; i >= 0; --i) {
            nextSingle[size_t(i)] = canClose(runs[size_t(i)], 1) ? i : nextSingle[size_t(i) + 1];
            nextDouble[size_t(i)] = canClose(runs[size_t(i)], 2) ? i : nextDouble[size_t(i) + 1];
        }
        for (int i = 0; i < n;) {
            const Run &open = runs[size_t(i)];
            if (open.length > 2) { // MD4C reads no formula there
                ++i;
                continue;
            }
            const int j = canOpen(open) ? (open.length == 1 ? nextSingle : nextDouble)[size_t(i) + 1] : n;
            if (j < n && runs[size_t(j)].block == open.block) {
                addFormula(out, open, runs[size_t(j)]);
                for (int k = i + 1; k < j; ++k)
                    hide(runs[size_t(k)]);
                i = j + 1;
            } else {
                hide(open);
                ++i;
            }
        }
    }

    std::vector<const Run *> hidden;

private:
    char at(int k) const { return k >= 0 && k < size ? src[k] : ' '; }

    bool canOpen(const Run &r) const
    {
        return !r.inImage && (r.length == 2 || !isSpaceByte(at(r.from + 1)));
    }

    bool canClose(const Run &r, int length) const
    {
        if (r.inImage || r.length != length)
            return false;
        if (length == 2)
            return true;
        const char after = at(r.from + 1);
        return !isSpaceByte(at(r.from - 1)) && !(after >= '0' && after <= '9');
    }

    void hide(const Run &r)
    {
        if (r.length <= 2)
            hidden.push_back(&r);
    }

    void addFormula(Prepared &out, const Run &open, const Run &close) const
    {
        const int start = open.from + open.length;
        out.formulas.push_back({start, close.from});
        if (!open.nested)
            return;
        // The later lines of a formula in a quote or an item begin with the
        // containers' marks and indentation.
        for (int k = start; k < close.from; ++k) {
            if (src[k] != '\n')
                continue;
            int e = k + 1;
            while (e < close.from && (src[e] == ' ' || src[e] == '\t' || src[e] == '>'))
                ++e;
            out.prefixes.push_back({k + 1, e});
        }
    }

    const char *src;
    const int size;
    const std::vector<Run> runs;
};

char unusedByte(const char *utf8, int size)
{
    for (char c : {'\x01', '\x02', '\x03', '\x04', '\x05', '\x06', '\x07', '\x0e', '\x0f'}) {
        if (!std::memchr(utf8, c, size_t(size)))
            return c;
    }
    return 0;
}

int countOf(const QByteArray &html, const char *needle)
{
    int count = 0;
    for (int at = html.indexOf(needle); at >= 0; at = html.indexOf(needle, at + 1))
        ++count;
    return count;
}

} // namespace

Prepared prepare(const char *utf8, int size)
{
    Prepared out;
    if (!std::memchr(utf8, '$', size_t(size))) {
        out.text = QByteArray::fromRawData(utf8, size);
        return out;
    }
    Collector collector{utf8, utf8 + size, 0, 0, 0, {}, nullptr, {}};
    MD_PARSER parser = {};
    parser.flags = markdownParserFlags & ~unsigned(MD_FLAG_LATEXMATHSPANS);
    parser.enter_block = enterBlock;
    parser.leave_block = leaveBlock;
    parser.enter_span = enterSpan;
    parser.leave_span = leaveSpan;
    parser.text = text;
    md_parse(utf8, MD_SIZE(size), &parser, &collector);

    Pairing pairing(utf8, size, runsOf(collector.dollars));
    pairing.pair(out);
    out.text = QByteArray(utf8, size);
    if (pairing.hidden.empty())
        return out;
    out.hidden = unusedByte(utf8, size);
    if (!out.hidden)
        return out;
    for (const Run *r : pairing.hidden)
        std::memset(out.text.data() + r->from, out.hidden, size_t(r->length));
    return out;
}

void finish(QByteArray &html, const Prepared &prepared, const char *utf8)
{
    if (prepared.hidden)
        html.replace(prepared.hidden, '$');
    static const char open[] = "<x-equation";
    static const char close[] = "</x-equation>";
    if (prepared.formulas.empty() || countOf(html, open) != int(prepared.formulas.size()))
        return;
    QByteArray out;
    out.reserve(html.size() + html.size() / 8);
    int from = 0;
    size_t prefix = 0;
    for (const auto &formula : prepared.formulas) {
        const int tag = html.indexOf(open, from);
        const int contentStart = html.indexOf('>', tag) + 1;
        const int contentEnd = html.indexOf(close, contentStart);
        if (contentStart <= 0 || contentEnd < 0)
            return; // not MD4C's own: left as it rendered
        out.append(html.constData() + from, contentStart - from);
        int k = formula.first;
        for (; prefix < prepared.prefixes.size() && prepared.prefixes[prefix].first < formula.second; ++prefix) {
            appendHtmlEscaped(out, utf8 + k, utf8 + prepared.prefixes[prefix].first);
            k = prepared.prefixes[prefix].second;
        }
        appendHtmlEscaped(out, utf8 + k, utf8 + formula.second);
        from = contentEnd;
    }
    out.append(html.constData() + from, html.size() - from);
    html = out;
}

void appendHtmlEscaped(QByteArray &out, const char *p, const char *end)
{
    for (; p < end; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += *p;
        }
    }
}

bool dollarNeedsBackslash(const char *html, size_t size, size_t next)
{
    if (next >= size || isSpaceByte(html[next]))
        return false; // opens nothing; a closer was seen from its opener
    const size_t limit = std::min(size, next + 64 * 1024);
    for (size_t k = next; k < limit; ++k) {
        const char c = html[k];
        if (c == '<') {
            static const char *const ends[] = {"</p", "</h", "</li", "</td", "</th", "<p", "<h", "<li",
                                               "<tr", "<ul", "<ol", "<pre", "<blockquote", "<table", "<hr"};
            for (const char *end : ends) {
                const size_t n = std::strlen(end);
                if (k + n < size && std::memcmp(html + k, end, n) == 0
                    && !(html[k + n] >= 'a' && html[k + n] <= 'z') && html[k + n] != '-')
                    return false;
            }
            // A formula's closing dollar follows its TeX.
            if (size - k > 11 && std::memcmp(html + k, "<x-equation", 11) == 0)
                return true;
        } else if (c == '$') {
            const char after = k + 1 < size ? html[k + 1] : ' ';
            if (!isSpaceByte(html[k - 1]) && !(after >= '0' && after <= '9'))
                return true;
        }
    }
    return false;
}

} // namespace mathspans
