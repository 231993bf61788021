#ifndef CORPUSHELPERS_H
#define CORPUSHELPERS_H

// Shared by the converter's and the page's round-trip checks over the
// Markdown corpus in tests/convert/corpus.

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace Corpus {

inline QString folder()
{
    return QStringLiteral(VELTRANE_TEST_DATA "/convert/corpus");
}

inline QStringList files()
{
    return QDir(folder()).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
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
// Code keeps every byte, so a lost space in code still shows.
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
    return out;
}

} // namespace Corpus

#endif // CORPUSHELPERS_H
