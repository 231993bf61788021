#include "app/exporthtml.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

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

} // namespace

QString makeStandaloneHtml(const QString &pageHtml, const QString &themeCss)
{
    const QRegularExpression::PatternOptions options = QRegularExpression::DotMatchesEverythingOption;
    QString html = pageHtml;

    // Not editable (the code blocks' "false" means nothing once nothing is editable).
    html = editStartTags(html, [](QString tag) {
        static const QRegularExpression editable(QStringLiteral(" ?contenteditable=\"(true|false)\""));
        return tag.remove(editable);
    });
    // No scripts loaded from files, no linked style sheets.
    html.remove(QRegularExpression(QStringLiteral("<script src=\"(.+?)\"></script>"), options));
    html.remove(QRegularExpression(QStringLiteral("<link rel=\"stylesheet\" href=\"(.+?).css\">"), options));
    // The theme link points into the program's folder; its sheet is inlined below instead.
    // The editing page's script policy names the program's own scheme: it has no
    // meaning in a file without scripts.
    html = editStartTags(html, [](const QString &tag) {
        static const QRegularExpression themeLink(QStringLiteral("^<link\\b[^>]*\\sid=\"themecss\""));
        static const QRegularExpression policy(QStringLiteral("^<meta\\b[^>]*http-equiv=\"Content-Security-Policy\""),
                                               QRegularExpression::CaseInsensitiveOption);
        return themeLink.match(tag).hasMatch() || policy.match(tag).hasMatch() ? QString() : tag;
    });
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
    const QString style = QStringLiteral("<style>%1%2%3%4%5%6</style></head>")
        .arg(styleSafe(readUtf8(QStringLiteral(":/mdgithub.css"))),
             styleSafe(themeCss),
             styleSafe(readUtf8(QStringLiteral(":/lib/codemirror/lib/codemirror.css"))),
             styleSafe(readUtf8(QStringLiteral(":/lib/codemirror/theme/idea.css"))),
             styleSafe(readUtf8(QStringLiteral(":/my.css"))),
             pageRules);
    html.replace(QStringLiteral("</head>"), style);
    return html;
}

bool writeTextFile(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << text;
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
