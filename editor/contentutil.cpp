#include "editor/contentutil.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "editor/imagestore.h"

#include <QDir>
#include <QRegularExpression>

bool ContentUtil::isUrl(const QString &text)
{
    // Not anchored: an address anywhere in the text will do. The host may carry
    // capitals and the address may end right after the host.
    static const QRegularExpression pattern(QStringLiteral(
        "https?://[-a-zA-Z0-9]+(\\.[-a-zA-Z0-9]+)*\\.[a-zA-Z]{2,}(/[-a-zA-Z0-9_:@&?=+,.!/~*'%$]*)?"));
    return pattern.match(text).hasMatch();
}

bool ContentUtil::isWindowsPath(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^[a-zA-Z]:([\\\\/][^\\s\\\\/:*?<>\"|][^\\\\/:*?<>\"|]*)*([/\\\\])?$"));
    return pattern.match(text).hasMatch();
}

bool ContentUtil::isLocalAbsolutePath(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (isWindowsPath(text))
        return true;
#ifdef Q_OS_WIN
    return false;
#else
    return text.startsWith(QLatin1Char('/')) && QDir::isAbsolutePath(text);
#endif
}

QString ContentUtil::htmlToMarkdown(const QString &html) const
{
    return ::pastedHtmlToMarkdown(html);
}

QString ContentUtil::markdownToHtml(const QString &markdown) const
{
    return ::markdownToHtml(markdown);
}

QString ContentUtil::storeImage(const QString &documentPath, const QString &imagePath) const
{
    return ::storeImage(documentPath, imagePath);
}
