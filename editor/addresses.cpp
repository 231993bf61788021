#include "editor/addresses.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

bool Addresses::isUrl(const QString &text)
{
    // Not anchored: an address anywhere in the text will do. The host may carry
    // capitals and the address may end right after the host.
    static const QRegularExpression pattern(QStringLiteral(
        "https?://[-a-zA-Z0-9]+(\\.[-a-zA-Z0-9]+)*\\.[a-zA-Z]{2,}(/[-a-zA-Z0-9_:@&?=+,.!/~*'%$]*)?"));
    return pattern.match(text).hasMatch();
}

bool Addresses::isLinkTarget(const QString &text)
{
    // Whitespace, quotes and angle brackets would end the address early in the
    // Markdown the link becomes.
    static const QRegularExpression breaksMarkdown(QStringLiteral("[\\s\"<>\\x00-\\x1f\\x7f]"));
    if (text.isEmpty() || text.contains(breaksMarkdown))
        return false;
    static const QRegularExpression schemePattern(QStringLiteral("^([a-zA-Z][a-zA-Z0-9+.-]*):"));
    const QRegularExpressionMatch scheme = schemePattern.match(text);
    if (!scheme.hasMatch())
        return true; // relative to the document
    if (isWindowsPath(text))
        return true;
    const QString name = scheme.captured(1).toLower();
    const QUrl url(text, QUrl::StrictMode);
    if (name == QLatin1String("http") || name == QLatin1String("https"))
        return url.isValid() && !url.host().isEmpty();
    if (name == QLatin1String("mailto"))
        return url.isValid() && url.path().contains(QLatin1Char('@'));
    return false;
}

bool Addresses::isWindowsPath(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^[a-zA-Z]:([\\\\/][^\\s\\\\/:*?<>\"|][^\\\\/:*?<>\"|]*)*([/\\\\])?$"));
    return pattern.match(text).hasMatch();
}

bool Addresses::isLocalAbsolutePath(const QString &text)
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
