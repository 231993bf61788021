#include "settings/themes.h"

#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A theme is a file of the themes folder named by its file name alone: a setting
// that reaches anywhere else (a path, "..", a link out of the folder) is not one.
bool isThemeName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char(':')))
        return false;
    const QFileInfo file(Themes::folder() + QLatin1Char('/') + name);
    if (!file.exists())
        return !file.isSymLink(); // a missing theme shows no style; a dangling link leads elsewhere
    const QString folder = QDir(Themes::folder()).canonicalPath();
    return file.isFile() && QFileInfo(file.canonicalFilePath()).absolutePath() == folder;
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString Themes::folder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/themes");
}

bool Themes::followsPalette()
{
    return !isThemeName(Settings::instance().cssFile());
}

QString Themes::currentPath()
{
    if (!followsPalette())
        return folder() + QLatin1Char('/') + Settings::instance().cssFile();
    return folder() + QLatin1Char('/') + QLatin1String(Settings::instance().theme() == Settings::Theme::Dark ? darkTheme : defaultTheme);
}

QString Themes::currentCss()
{
    return readText(currentPath());
}

QString Themes::printPath()
{
    return followsPalette() ? folder() + QLatin1Char('/') + QLatin1String(defaultTheme) : currentPath();
}

QString Themes::printCss()
{
    return readText(printPath());
}

QString Themes::codeTheme(const QString &sheetPath)
{
    return QLatin1String(QFileInfo(sheetPath).fileName().contains(QLatin1String("dark"), Qt::CaseInsensitive)
                             ? darkCodeTheme
                             : lightCodeTheme);
}
