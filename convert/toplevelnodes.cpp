// SourceBlocks::topLevelNodes: the top-level nodes of a page as the HTML
// parser nests them.

#include "convert/sourceblocks.h"

#include "convert/htmlsyntax.h"

#include <QSet>
#include <QStringList>

namespace {

// Elements whose start ends an open paragraph.
bool closesParagraph(const QString &name)
{
    static const QSet<QString> names = {
        QStringLiteral("address"), QStringLiteral("article"), QStringLiteral("aside"),
        QStringLiteral("blockquote"), QStringLiteral("details"), QStringLiteral("div"), QStringLiteral("dl"),
        QStringLiteral("fieldset"), QStringLiteral("figure"), QStringLiteral("footer"), QStringLiteral("form"),
        QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("h4"),
        QStringLiteral("h5"), QStringLiteral("h6"), QStringLiteral("header"), QStringLiteral("hr"),
        QStringLiteral("main"), QStringLiteral("nav"), QStringLiteral("ol"), QStringLiteral("p"),
        QStringLiteral("pre"), QStringLiteral("section"), QStringLiteral("table"), QStringLiteral("ul")};
    return names.contains(name);
}

// Reads the top-level nodes of a page as the HTML parser nests them: which
// elements are open, and where the node being read began.
class NodeReader
{
public:
    explicit NodeReader(const QString &html) : html(html), size(html.size()) {}

    QVector<SourceBlocks::Span> read()
    {
        while (i < size) {
            if (html.at(i) != QLatin1Char('<'))
                readText();
            else if (!readCommentOrDeclaration())
                readTag();
        }
        if (nodeStart >= 0)
            nodes.append({nodeStart, size});
        return nodes;
    }

private:
    int tagEnd(int from) const { return int(htmlsyntax::tagEnd(html.utf16(), size_t(from), size_t(size))); }

    bool atTop() const { return open.isEmpty() && nodeStart < 0; }

    void endNodeAt(int end)
    {
        if (open.isEmpty() && nodeStart >= 0) {
            nodes.append({nodeStart, end});
            nodeStart = -1;
        }
    }

    // Up to the next "<"; at the top a node, less its trailing white space.
    void readText()
    {
        if (!atTop()) {
            i = html.indexOf(QLatin1Char('<'), i + 1);
            if (i < 0)
                i = size;
            return;
        }
        if (html.at(i).isSpace()) {
            ++i;
            return;
        }
        int end = html.indexOf(QLatin1Char('<'), i);
        if (end < 0)
            end = size;
        int last = end;
        while (last > i && html.at(last - 1).isSpace())
            --last;
        nodes.append({i, last});
        i = end;
    }

    bool readCommentOrDeclaration()
    {
        int end;
        if (html.midRef(i, 4) == QLatin1String("<!--")) {
            const int close = html.indexOf(QLatin1String("-->"), i + 4);
            end = close < 0 ? size : close + 3;
        } else if (i + 1 < size && (html.at(i + 1) == QLatin1Char('!') || html.at(i + 1) == QLatin1Char('?'))) {
            const int close = html.indexOf(QLatin1Char('>'), i);
            end = close < 0 ? size : close + 1;
        } else {
            return false;
        }
        if (open.isEmpty())
            nodes.append({i, end});
        i = end;
        return true;
    }

    void readTag()
    {
        const bool closing = i + 1 < size && html.at(i + 1) == QLatin1Char('/');
        const int nameStart = i + (closing ? 2 : 1);
        int nameEnd = nameStart;
        if (nameEnd < size && html.at(nameEnd).isLetter()) {
            while (nameEnd < size && htmlsyntax::isNameChar(html.at(nameEnd)))
                ++nameEnd;
        }
        if (nameEnd == nameStart) {
            readStrayLessThan();
            return;
        }
        // One buffer for every name: a long page has a great many tags.
        name.resize(nameEnd - nameStart);
        for (int k = nameStart; k < nameEnd; ++k)
            name[k - nameStart] = html.at(k).toLower();
        const int end = tagEnd(nameEnd);
        if (closing)
            readEndTag(end);
        else
            readStartTag(end);
    }

    // A "<" that starts no tag: text.
    void readStrayLessThan()
    {
        if (!atTop()) {
            ++i;
            return;
        }
        int end = html.indexOf(QLatin1Char('<'), i + 1);
        if (end < 0)
            end = size;
        nodes.append({i, end});
        i = end;
    }

    void readEndTag(int end)
    {
        const int index = open.lastIndexOf(name);
        if (index >= 0) {
            while (open.size() > index)
                open.removeLast();
        } else if (name == QLatin1String("p") && open.isEmpty()) {
            // A stray end of paragraph makes an empty paragraph.
            nodes.append({i, end});
        }
        i = end;
        endNodeAt(end);
    }

    // The elements a start tag closes: an open paragraph, an open item.
    void closeImpliedElements()
    {
        if (!open.isEmpty() && open.last() == QLatin1String("p") && closesParagraph(name)) {
            open.removeLast();
            endNodeAt(i);
        }
        if (name != QLatin1String("li"))
            return;
        for (int k = open.size() - 1; k >= 0; --k) {
            if (open.at(k) == QLatin1String("ul") || open.at(k) == QLatin1String("ol"))
                return;
            if (open.at(k) == QLatin1String("li")) {
                while (open.size() > k)
                    open.removeLast();
                return;
            }
        }
    }

    void readStartTag(int end)
    {
        closeImpliedElements();
        if (open.isEmpty() && nodeStart < 0)
            nodeStart = i;
        const bool selfClosing = end >= 2 && html.at(end - 2) == QLatin1Char('/');
        if (htmlsyntax::isRawTextElement(name) && !selfClosing) {
            const int close = html.indexOf(QStringLiteral("</") + name, end, Qt::CaseInsensitive);
            end = close < 0 ? size : tagEnd(close + 2);
        } else if (!htmlsyntax::isVoidElement(name) && !selfClosing) {
            open.append(name);
        }
        i = end;
        endNodeAt(end);
    }

    const QString &html;
    const int size;
    int i = 0;
    QStringList open; // element names, innermost last
    int nodeStart = -1;
    QString name;
    QVector<SourceBlocks::Span> nodes;
};

} // namespace

QVector<SourceBlocks::Span> SourceBlocks::topLevelNodes(const QString &html)
{
    return NodeReader(html).read();
}
