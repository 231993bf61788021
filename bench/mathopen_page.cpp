// How much longer a document with 200 formulas and 20 diagrams takes to open
// in the editing page than the same document without them (their TeX and
// diagram code as plain paragraphs and code): the time until the page holds
// the whole document, and until every formula and diagram is drawn. Each
// document is opened several times in a fresh page; the medians are printed.

#include "pagedriver.h"

#include "editor/pagesurface.h"
#include "editor/pageview.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString document(bool withMath)
{
    QString text = QStringLiteral("---\ntitle: Bench\n---\n\n");
    for (int i = 0; i < 200; ++i) {
        const QString tex = QStringLiteral("\\sum_{k=1}^{%1} \\frac{k^2}{\\sqrt{k+1}}").arg(i);
        text += QStringLiteral("Paragraph %1 with %2 in it.\n\n").arg(i).arg(withMath ? QLatin1Char('$') + tex + QLatin1Char('$') : tex);
        if (i % 10 == 0) {
            text += QStringLiteral("```%1\ngraph LR\n  A%2[Start] --> B{Check}\n  B --> C[End]\n```\n\n")
                        .arg(withMath ? QStringLiteral("mermaid") : QString())
                        .arg(i);
        }
    }
    return text;
}

struct Times
{
    qint64 loaded;
    qint64 drawn;
};

Times open(const QString &markdown, bool withMath)
{
    PageView view;
    view.resize(1000, 700);
    view.show();
    PageSurface surface(&view);
    waitForPage(view.page());
    bool loaded = false;
    QObject::connect(&surface, &PageSurface::contentLoaded, [&loaded] { loaded = true; });
    QElapsedTimer timer;
    timer.start();
    surface.setMarkdown(markdown);
    waitFor([&] { return loaded; }, 60000);
    const qint64 loadedAt = timer.elapsed();
    if (withMath) {
        waitFor([&] {
            return runJs(view.page(), QStringLiteral("document.querySelectorAll('x-equation .katex').length === 200"
                                                     " && document.querySelectorAll('.veltrane-diagram svg').length === 20"))
                .toBool();
        }, 60000);
    }
    return {loadedAt, timer.elapsed()};
}

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = 5;
    for (bool withMath : {false, true}) {
        std::vector<qint64> loaded, drawn;
        for (int r = 0; r < runs; ++r) {
            const Times t = open(document(withMath), withMath);
            loaded.push_back(t.loaded);
            drawn.push_back(t.drawn);
        }
        std::printf("%s: whole document in the page %lld ms, everything drawn %lld ms (medians of %d)\n",
                    withMath ? "200 formulas, 20 diagrams" : "the same as plain text", static_cast<long long>(median(loaded)),
                    static_cast<long long>(median(drawn)), runs);
    }
    return 0;
}
