#include "settings/themes.h"

#include "settings/settings.h"

#include <QCoreApplication>
#include <QFile>

QString Themes::folder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/themes");
}

QString Themes::currentPath()
{
    return folder() + QLatin1Char('/') + Settings::instance().cssFile();
}

QString Themes::currentCss()
{
    QFile file(currentPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}
