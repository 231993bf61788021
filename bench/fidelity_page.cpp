// Share of Markdown files whose rendering survives a save through the real
// editing page: each file is shown in the page as the editor opens it, the
// page's page.html() is converted back and the renderings are compared.
//   veltrane-fidelity-page [--html-out DIR] FOLDER_OR_FILE...   (needs a display)
// --html-out keeps the page's HTML of each file that changed, for a look.

#include "fidelity.h"
#include "pagedriver.h"

#include "editor/pagesurface.h"
#include "editor/pageview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    QString htmlOut;
    if (arguments.size() > 1 && arguments.first() == QLatin1String("--html-out")) {
        htmlOut = arguments.at(1);
        arguments = arguments.mid(2);
    }
    const QStringList files = Fidelity::inputs(arguments);
    if (files.isEmpty()) {
        QTextStream(stderr) << "usage: veltrane-fidelity-page FOLDER_OR_FILE...\n";
        return 2;
    }
    // The page as the program builds it: view, bridge and channel.
    PageView view;
    PageSurface surface(&view);
    view.resize(1000, 800);
    view.show();
    waitForPage(view.page());

    Fidelity::Tally tally;
    for (const QString &file : files) {
        const QString original = Fidelity::readFile(file);
        runJs(view.page(), QStringLiteral("document.body.innerHTML = '<i id=\"pending\"></i>'; true"));
        surface.setDocumentPath(QFileInfo(file).absoluteFilePath());
        surface.setHtml(markdownToHtml(original));
        waitFor([&] { return runJs(view.page(), QStringLiteral("!document.getElementById('pending')")).toBool(); },
                20000);
        const QString html = runJs(view.page(), QStringLiteral("page.html()")).toString();
        const int lost = tally.lost.size();
        tally.judge(file, original, html);
        if (!htmlOut.isEmpty() && tally.lost.size() > lost) {
            QFile out(htmlOut + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".html"));
            if (out.open(QIODevice::WriteOnly))
                out.write(html.toUtf8());
        }
    }
    tally.report(QStringLiteral("page"));
    return 0;
}
