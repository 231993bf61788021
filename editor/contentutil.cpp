#include "editor/contentutil.h"

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
