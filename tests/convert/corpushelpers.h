#ifndef CORPUSHELPERS_H
#define CORPUSHELPERS_H

// Shared by the converter's and the page's round-trip checks over the
// Markdown corpus in tests/convert/corpus.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace Corpus {

inline QString folder()
{
    return QStringLiteral(VELTRANE_TEST_DATA "/convert/corpus");
}

// Paths relative to the folder, sub-folders included, in order.
inline QStringList files()
{
    QStringList names;
    QDirIterator it(folder(), {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder()).relativeFilePath(it.next());
    names.sort();
    return names;
}

inline QString read(const QString &name)
{
    QFile file(folder() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// HTML's own white space: a no-break space is text, not layout.
inline bool isHtmlSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\n') || c == QLatin1Char('\t')
        || c == QLatin1Char('\r') || c == QLatin1Char('\f');
}

// HTML with every run of white space outside pre elements folded to one space
// and white space between two tags dropped: the forms that render alike.
// Code keeps every byte, so a lost space in code still shows. Tag names
// count without case, b and i as strong and em, and a space at the inner
// edge of emphasis or a link as one outside it.
inline QString normalizeHtml(const QString &html)
{
    QString out;
    out.reserve(html.size());
    bool inPre = false;
    bool pendingSpace = false;
    for (int i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!inPre && isHtmlSpace(c)) {
            pendingSpace = true;
            continue;
        }
        if (pendingSpace) {
            const bool betweenTags = c == QLatin1Char('<') && (out.isEmpty() || out.endsWith(QLatin1Char('>')));
            if (!betweenTags)
                out += QLatin1Char(' ');
            pendingSpace = false;
        }
        if (c == QLatin1Char('<')) {
            if (html.midRef(i, 4) == QLatin1String("<pre"))
                inPre = true;
            else if (html.midRef(i, 6) == QLatin1String("</pre>"))
                inPre = false;
        }
        out += c;
    }
    static const QRegularExpression tagName(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9-]*)"));
    QString result;
    result.reserve(out.size());
    int last = 0;
    for (auto it = tagName.globalMatch(out); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        result += out.midRef(last, m.capturedStart(2) - last);
        result += m.captured(2).toLower();
        last = m.capturedEnd(2);
    }
    result += out.midRef(last);
    static const QRegularExpression bold(QStringLiteral("<(/?)b>"));
    static const QRegularExpression italic(QStringLiteral("<(/?)i>"));
    static const QRegularExpression spaceBeforeEnd(QStringLiteral(" (</(?:em|strong|del|a)>) ?"));
    static const QRegularExpression spaceAfterStart(QStringLiteral(" ?(<(?:em|strong|del)>) "));
    // What the HTML parser makes the same: the line feed that opens a pre,
    // implied table bodies, the quotes around attribute values, the slash
    // of a void element; and a space before a line break shows nothing.
    static const QRegularExpression preLineFeed(QStringLiteral("(<pre(?:\\s[^>]*)?>)\n"));
    static const QRegularExpression tableBody(QStringLiteral("</?tbody>"));
    static const QRegularExpression singleQuoted(QStringLiteral("(\\s[\\w:-]+=)'([^'<]*)'"));
    static const QRegularExpression voidEnd(QStringLiteral("<(br|hr|img|input)(\\s[^<>]*?)?\\s*/?>"));
    static const QRegularExpression spaceBeforeBreak(QStringLiteral(" <br>"));
    result.replace(preLineFeed, QStringLiteral("\\1"));
    result.replace(voidEnd, QStringLiteral("<\\1\\2>"));
    result.replace(spaceBeforeBreak, QStringLiteral("<br>"));
    result.remove(tableBody);
    for (QRegularExpressionMatch m = singleQuoted.match(result); m.hasMatch(); m = singleQuoted.match(result)) {
        QString value = m.captured(2);
        value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
        result.replace(m.capturedStart(), m.capturedLength(), m.captured(1) + QLatin1Char('"') + value + QLatin1Char('"'));
    }
    // Text as the serializer writes it: quotes bare, "&" escaped only
    // where it could start a reference.
    static const QRegularExpression textPart(QStringLiteral("[^<>]+(?=<|$)"));
    static const QRegularExpression bareAmp(QStringLiteral("&amp;(?![A-Za-z0-9#]+;)"));
    QString decoded;
    last = 0;
    for (auto it = textPart.globalMatch(result); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        decoded += result.midRef(last, m.capturedStart() - last);
        QString text = m.captured();
        text.replace(QLatin1String("&quot;"), QLatin1String("\""));
        text.replace(QLatin1String("&#39;"), QLatin1String("'"));
        text.replace(bareAmp, QStringLiteral("&"));
        decoded += text;
        last = m.capturedEnd();
    }
    decoded += result.midRef(last);
    result = decoded;
    result.replace(bareAmp, QStringLiteral("&"));
    result.replace(bold, QStringLiteral("<\\1strong>"));
    result.replace(italic, QStringLiteral("<\\1em>"));
    result.replace(spaceBeforeEnd, QStringLiteral("\\1 "));
    result.replace(spaceAfterStart, QStringLiteral(" \\1"));
    return result;
}

} // namespace Corpus

#endif // CORPUSHELPERS_H
