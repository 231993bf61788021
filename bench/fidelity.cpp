// Share of Markdown files whose rendering survives a save through the
// converter alone: render, convert back, render again, compare.
//   veltrane-fidelity FOLDER_OR_FILE...

#include "fidelity.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList files = Fidelity::inputs(app.arguments().mid(1));
    if (files.isEmpty()) {
        QTextStream(stderr) << "usage: veltrane-fidelity FOLDER_OR_FILE...\n";
        return 2;
    }
    Fidelity::Tally tally;
    for (const QString &file : files) {
        const QString original = Fidelity::readFile(file);
        tally.judge(file, original, markdownToHtml(original));
    }
    tally.report(QStringLiteral("converter"));
    return 0;
}
