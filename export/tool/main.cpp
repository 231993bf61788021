// veltrane-export INPUT.md OUTPUT.docx|OUTPUT.odt
// Exports a Markdown file as the editor does; images are looked up next to it.

#include "export/documentexport.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    // Fonts and images need a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: veltrane-export INPUT.md OUTPUT.docx|OUTPUT.odt\n";
        return 2;
    }
    QFile input(args[1]);
    if (!input.open(QIODevice::ReadOnly)) {
        err << args[1] << ": " << input.errorString() << "\n";
        return 1;
    }
    const QString markdown = QString::fromUtf8(input.readAll());
    const QString folder = QFileInfo(args[1]).absolutePath();
    const QString target = args[2];
    const exporting::Result result = target.endsWith(QLatin1String(".odt"), Qt::CaseInsensitive)
        ? exporting::writeOdt(markdown, folder, target)
        : exporting::writeDocx(markdown, folder, target);
    if (!result.ok) {
        err << target << ": " << result.error << "\n";
        return 1;
    }
    return 0;
}
