#include "app/mainwindow.h"
#include "app/palettes.h"
#include "settings/settings.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTextCodec>

int main(int argc, char *argv[])
{
    // Style, attributes and the version write must all come before the
    // application object: the toolkit takes these attributes only then.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette dark = makeDarkPalette();
    const QPalette light = makeLightPalette();

    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Orrinfold"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("https://veltrane.example"));
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELTRANE_APP_ID));

    Settings::instance().setVersion(QCoreApplication::applicationVersion());

    QCoreApplication::setAttribute(Qt::AA_UseOpenGLES);

    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPointSize(10);
    QApplication::setFont(font);

    MainWindow window;
    if (argc > 1) {
        const QString path = startupPathFromArgument(argv[1]);
        if (!path.isEmpty())
            window.setStartupFilePath(path);
    }

    window.setAutoFillBackground(true);
    window.setPalettes(dark, light);
    applyStoredPalette(dark, light);

    window.show();
    return app.exec();
}
