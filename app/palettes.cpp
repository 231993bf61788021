#include "app/palettes.h"

#include "settings/settings.h"

#include <QApplication>

QPalette makeDarkPalette()
{
    QPalette p;
    p.setColor(QPalette::All, QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::All, QPalette::WindowText, Qt::white);
    p.setColor(QPalette::All, QPalette::Base, QColor(25, 25, 25));
    p.setColor(QPalette::All, QPalette::AlternateBase, QColor(53, 53, 53));
    p.setColor(QPalette::All, QPalette::ToolTipBase, Qt::white);
    p.setColor(QPalette::All, QPalette::ToolTipText, QColor(162, 162, 162));
    p.setColor(QPalette::All, QPalette::Text, Qt::white);
    p.setColor(QPalette::All, QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::All, QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::All, QPalette::BrightText, Qt::red);
    p.setColor(QPalette::All, QPalette::Link, QColor(255, 183, 47));
    p.setColor(QPalette::All, QPalette::Highlight, QColor(255, 183, 47));
    p.setColor(QPalette::All, QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, Qt::gray);
    // Menu items draw with Text: without this a disabled one looks enabled.
    p.setColor(QPalette::Disabled, QPalette::Text, Qt::gray);
    return p;
}

QPalette makeLightPalette()
{
    QPalette p;
    p.setColor(QPalette::All, QPalette::Window, QColor(240, 240, 240));
    p.setColor(QPalette::All, QPalette::WindowText, Qt::black);
    p.setColor(QPalette::All, QPalette::Base, QColor(255, 255, 255));
    p.setColor(QPalette::All, QPalette::AlternateBase, QColor(233, 231, 227));
    p.setColor(QPalette::All, QPalette::ToolTipBase, QColor(255, 255, 220));
    p.setColor(QPalette::All, QPalette::ToolTipText, QColor(0, 0, 0));
    p.setColor(QPalette::All, QPalette::Text, Qt::black);
    p.setColor(QPalette::All, QPalette::Button, QColor(240, 240, 240));
    p.setColor(QPalette::All, QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::All, QPalette::BrightText, QColor(255, 255, 255));
    p.setColor(QPalette::All, QPalette::Link, QColor(0, 0, 255));
    p.setColor(QPalette::All, QPalette::Highlight, QColor(51, 153, 255));
    p.setColor(QPalette::All, QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    return p;
}

const QPalette *themePalette(Settings::Theme theme, const QPalette &dark, const QPalette &light)
{
    switch (theme) {
    case Settings::Theme::Light:
        return &light;
    case Settings::Theme::Dark:
        return &dark;
    case Settings::Theme::StylePalette:
        break;
    }
    return nullptr;
}

void applyStoredPalette(const QPalette &dark, const QPalette &light)
{
    if (const QPalette *palette = themePalette(Settings::instance().theme(), dark, light))
        QApplication::setPalette(*palette);
}

QString startupPathFromArgument(const char *argument)
{
    if (!argument)
        return QString();
    QString path = QString::fromLocal8Bit(argument);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}
