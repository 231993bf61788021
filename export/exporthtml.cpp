#include "export/exporthtml.h"

#include "convert/htmlsyntax.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// A sheet placed inside <style> must not be able to close the element early.
QString styleSafe(QString css)
{
    static const QRegularExpression styleEnd(QStringLiteral("</(style)"), QRegularExpression::CaseInsensitiveOption);
    return css.replace(styleEnd, QStringLiteral("<\\/\\1"));
}

// Start tags as the engine serialises them: attribute values in double quotes, with
// any quote inside written as &quot;, so a value may still hold '>'.
const QRegularExpression &startTagPattern()
{
    static const QRegularExpression pattern(QStringLiteral("<[A-Za-z][^\\s/>]*(?:\\s+[^\\s\"'>/=]+(?:\\s*=\\s*(?:\"[^\"]*\"|'[^']*'|[^\\s\"'>]+))?)*\\s*/?>"));
    return pattern;
}

// Applies edit to the markup of every start tag, leaving the text between tags alone:
// a code block showing id="x" or contenteditable="true" keeps that text.
template <typename Edit>
QString editStartTags(const QString &html, Edit edit)
{
    QString result;
    result.reserve(html.size());
    int last = 0;
    QRegularExpressionMatchIterator it = startTagPattern().globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += html.midRef(last, match.capturedStart() - last);
        result += edit(match.captured());
        last = match.capturedEnd();
    }
    result += html.midRef(last);
    return result;
}

// What an exported page may not do: run scripts, load frames or plug-ins, send
// forms, move its base, refresh or navigate itself. The file also carries a
// policy that forbids all of it, for browsers that honour it.
const char *const kExportPolicy =
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src 'none'; "
    "style-src 'unsafe-inline'; img-src data: http: https:; media-src data: http: https:; font-src data:; "
    "frame-src 'none'; object-src 'none'; base-uri 'none'; form-action 'none'\">";

// Elements that go with everything inside them.
const QSet<QString> &droppedElements()
{
    static const QSet<QString> names{QStringLiteral("script"), QStringLiteral("iframe"), QStringLiteral("frame"),
                                     QStringLiteral("frameset"), QStringLiteral("object"), QStringLiteral("applet"),
                                     QStringLiteral("embed"), QStringLiteral("noembed"), QStringLiteral("noframes"),
                                     QStringLiteral("noscript"), QStringLiteral("portal")};
    return names;
}

const QRegularExpression &attributePattern()
{
    static const QRegularExpression pattern(QStringLiteral("\\s+([^\\s\"'>/=]+)(?:\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+)))?"));
    return pattern;
}

QString attributeValue(const QRegularExpressionMatch &attribute)
{
    for (int i = 2; i <= 4; ++i) {
        if (attribute.capturedStart(i) >= 0)
            return attribute.captured(i).replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    return QString();
}

// Attributes that hold an address (or, in SVG animations, set one).
const QSet<QString> &urlAttributes()
{
    static const QSet<QString> names{
        QStringLiteral("href"),   QStringLiteral("xlink:href"), QStringLiteral("src"),      QStringLiteral("action"),
        QStringLiteral("formaction"), QStringLiteral("data"),   QStringLiteral("poster"),   QStringLiteral("background"),
        QStringLiteral("cite"),   QStringLiteral("codebase"),   QStringLiteral("longdesc"), QStringLiteral("lowsrc"),
        QStringLiteral("dynsrc"), QStringLiteral("srcset"),     QStringLiteral("to"),       QStringLiteral("from"),
        QStringLiteral("values"), QStringLiteral("by")};
    return names;
}

// A URL a browser would run as script: what is left once it drops whitespace and
// control characters, as browsers do, starts with a script scheme.
bool isScriptUrl(const QString &value)
{
    QString compact;
    for (const QChar c : value) {
        if (c.unicode() > 0x20)
            compact += c.toLower();
    }
    // A page in a data address runs its scripts too.
    return compact.startsWith(QLatin1String("javascript:")) || compact.startsWith(QLatin1String("vbscript:"))
        || compact.startsWith(QLatin1String("livescript:")) || compact.startsWith(QLatin1String("data:text/html"))
        || compact.startsWith(QLatin1String("data:application/xhtml"));
}

// Pictures larger than this stay files: a page is no place for them.
const qint64 kMaxEmbeddedImage = 32 << 20;

// A local picture as a data URL, so that the page shows it wherever it is
// opened. Only a regular file of bounded size whose content is a picture: a
// document may name any file (a key, a device that never ends, a pipe that
// blocks), and the export must carry none of them.
QString embeddedImage(const QString &src)
{
    const QUrl url(src);
    if (!url.isLocalFile())
        return QString();
    const QFileInfo info(url.toLocalFile());
    if (!info.isFile() || info.size() > kMaxEmbeddedImage)
        return QString();
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.read(kMaxEmbeddedImage + 1);
    if (bytes.size() > kMaxEmbeddedImage)
        return QString();
    const QString type = QMimeDatabase().mimeTypeForData(bytes).name();
    if (!type.startsWith(QLatin1String("image/")))
        return QString();
    return QStringLiteral("data:%1;base64,%2").arg(type, QString::fromLatin1(bytes.toBase64()));
}

// The start tag without what could run or load something, or what is the page's own.
QString inertStartTag(const QString &name, const QString &tag)
{
    const int nameEnd = 1 + name.size();
    QString result = tag.left(nameEnd);
    QRegularExpressionMatchIterator it = attributePattern().globalMatch(tag.left(tag.size() - 1), nameEnd);
    int last = nameEnd;
    while (it.hasNext()) {
        const QRegularExpressionMatch attribute = it.next();
        last = attribute.capturedEnd();
        const QString attributeName = attribute.captured(1).toLower();
        const QString value = attributeValue(attribute);
        if (attributeName.startsWith(QLatin1String("on")) || attributeName.startsWith(QLatin1String("data-"))
            || attributeName == QLatin1String("ping") || (urlAttributes().contains(attributeName) && isScriptUrl(value)))
            continue;
        if (name == QLatin1String("img") && attributeName == QLatin1String("src")) {
            const QString data = embeddedImage(value);
            if (!data.isEmpty()) {
                result += QStringLiteral(" src=\"%1\"").arg(data);
                continue;
            }
        }
        result += attribute.captured();
    }
    result += tag.mid(last);
    return result;
}

// Where the element that starts at from (just after its start tag) ends, past its
// end tag; -1 when it has none.
int elementEnd(const QString &html, const QString &name, int from)
{
    const QRegularExpression tags(QStringLiteral("<(/?)%1(?=[\\s/>])").arg(QRegularExpression::escape(name)),
                                  QRegularExpression::CaseInsensitiveOption);
    int depth = 1;
    QRegularExpressionMatchIterator it = tags.globalMatch(html, from);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedLength(1) == 0 && !htmlsyntax::isRawTextElement(name)) {
            ++depth;
            continue;
        }
        if (match.capturedLength(1) > 0 && --depth == 0) {
            const int close = html.indexOf(QLatin1Char('>'), match.capturedEnd());
            return close < 0 ? html.size() : close + 1;
        }
    }
    return -1;
}

// The page with nothing that could run, load a frame or a plug-in, send a form,
// move its base or refresh; local pictures embedded; the page's own data gone.
QString inertHtml(const QString &html)
{
    static const QRegularExpression tagName(QStringLiteral("^<(/?)([A-Za-z][^\\s/>]*)"));
    QString result;
    result.reserve(html.size());
    int pos = 0;
    while (pos < html.size()) {
        const int open = html.indexOf(QLatin1Char('<'), pos);
        if (open < 0) {
            result += html.midRef(pos);
            break;
        }
        result += html.midRef(pos, open - pos);
        if (html.midRef(open, 4) == QLatin1String("<!--")) {
            const int close = html.indexOf(QStringLiteral("-->"), open + 4);
            const int end = close < 0 ? html.size() : close + 3;
            result += html.midRef(open, end - open);
            pos = end;
            continue;
        }
        const QRegularExpressionMatch start = startTagPattern().match(html, open, QRegularExpression::NormalMatch,
                                                                       QRegularExpression::AnchoredMatchOption);
        const QRegularExpressionMatch name = tagName.match(html.midRef(open, 64).toString());
        if (!name.hasMatch()) {
            result += QLatin1Char('<');
            pos = open + 1;
            continue;
        }
        const QString element = name.captured(2).toLower();
        if (name.capturedLength(1) > 0) {
            // End tags: those of dropped elements went with their start tags.
            const int close = html.indexOf(QLatin1Char('>'), open);
            const int end = close < 0 ? html.size() : close + 1;
            if (element != QLatin1String("form"))
                result += html.midRef(open, end - open);
            pos = end;
            continue;
        }
        if (!start.hasMatch()) {
            result += QLatin1Char('<');
            pos = open + 1;
            continue;
        }
        const QString tag = start.captured();
        pos = start.capturedEnd();
        if (droppedElements().contains(element)) {
            pos = qMax(pos, elementEnd(html, element, pos));
            continue;
        }
        static const QRegularExpression httpEquiv(QStringLiteral("\\shttp-equiv\\s*="), QRegularExpression::CaseInsensitiveOption);
        if (element == QLatin1String("base") || element == QLatin1String("link") || element == QLatin1String("form")
            || (element == QLatin1String("meta") && httpEquiv.match(tag).hasMatch()))
            continue;
        result += inertStartTag(element, tag);
        if (htmlsyntax::isRawTextElement(element)) {
            // Copied as it is, up to its end tag: it is not markup.
            const int close = html.indexOf(QStringLiteral("</") + element, pos, Qt::CaseInsensitive);
            const int end = close < 0 ? html.size() : close;
            result += html.midRef(pos, end - pos);
            pos = end;
        }
    }
    return result;
}

} // namespace

QString makeStandaloneHtml(const QString &pageHtml, const QString &themeCss, const QString &codeTheme)
{
    QString html = pageHtml;
    // The code blocks in the theme that suits the exported sheet, whatever the screen
    // showed; the page's own dark mark stays behind.
    static const QRegularExpression themeName(QStringLiteral("^[A-Za-z0-9-]+$"));
    const QString codeThemeName = themeName.match(codeTheme).hasMatch() ? codeTheme : QStringLiteral("default");
    html = editStartTags(html, [&codeThemeName](QString tag) {
        static const QRegularExpression classAttribute(QStringLiteral("\\sclass=\"([^\"]*)\""));
        static const QRegularExpression themeClass(QStringLiteral("(^|\\s)cm-s-\\S+"));
        const QRegularExpressionMatch match = classAttribute.match(tag);
        if (!match.hasMatch())
            return tag;
        if (tag.startsWith(QLatin1String("<html"), Qt::CaseInsensitive))
            return tag.remove(match.capturedStart(), match.capturedLength());
        QString classes = match.captured(1);
        classes.replace(themeClass, QStringLiteral("\\1cm-s-") + codeThemeName);
        return tag.replace(match.capturedStart(1), match.capturedLength(1), classes);
    });

    // Not editable (the code blocks' "false" means nothing once nothing is editable).
    html = editStartTags(html, [](QString tag) {
        static const QRegularExpression editable(QStringLiteral(" ?contenteditable=\"(true|false)\""));
        return tag.remove(editable);
    });
    // No scripts, frames, plug-ins, forms, links (the theme's sheet and the program's
    // are inlined below), refreshes or base; the editing page's own policy names the
    // program's scheme and is replaced by the export's.
    html = inertHtml(html);
    // No ids.
    html = editStartTags(html, [](QString tag) {
        static const QRegularExpression id(QStringLiteral("\\s+id=\"(.*?)\""), QRegularExpression::DotMatchesEverythingOption);
        return tag.remove(id);
    });

    // The editing page's own rules move into the one style block, after the rest,
    // where they stood in the page.
    QString pageRules;
    const int headEnd = html.indexOf(QStringLiteral("</head>"));
    if (headEnd >= 0) {
        static const QRegularExpression inlineStyle(QStringLiteral("<style>(.*?)</style>"),
                                                    QRegularExpression::DotMatchesEverythingOption);
        QString head = html.left(headEnd);
        for (auto it = inlineStyle.globalMatch(head); it.hasNext();)
            pageRules += it.next().captured(1);
        head.remove(inlineStyle);
        html = head + html.mid(headEnd);
    }

    // The base GitHub sheet first, then the chosen theme over it, then the code editor
    // sheets and our overrides.
    const QString style = QStringLiteral("<style>%1%2%3%4%5%6%7</style></head>")
        .arg(styleSafe(readUtf8(QStringLiteral(":/mdgithub.css"))),
             styleSafe(themeCss),
             styleSafe(readUtf8(QStringLiteral(":/lib/codemirror/lib/codemirror.css"))),
             styleSafe(readUtf8(QStringLiteral(":/lib/codemirror/theme/idea.css"))),
             styleSafe(readUtf8(QStringLiteral(":/lib/codemirror/theme/%1.css").arg(codeThemeName))),
             styleSafe(readUtf8(QStringLiteral(":/my.css"))),
             pageRules);
    html.replace(QStringLiteral("</head>"), style);
    // First in the head, so that it covers everything after it.
    static const QRegularExpression headStart(QStringLiteral("<head\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch head = headStart.match(html);
    if (head.hasMatch())
        html.insert(head.capturedEnd(), QLatin1String(kExportPolicy));
    else
        html.prepend(QLatin1String(kExportPolicy));
    return html;
}
