// What a save in WYSIWYG mode changes in real Markdown files: each file is
// copied, opened in the editing page as the editor opens it and saved without
// an edit (byte for byte the same?), then opened again, one word of its first
// paragraph is changed in the page and it is saved (how many lines differ?).
//   veltrane-savediff-page [--list] [--whole] [--html-out DIR] FOLDER_OR_FILE...   (needs a display)
// --list names every file with its two results; --whole saves as the editor
// did before it kept unchanged blocks: the whole page through the converter,
// written as UTF-8 with line feeds; --html-out keeps the page's HTML (and the saved text) of each
// file that an unedited save changed, for a look.

#include "fidelity.h"
#include "pagedriver.h"

#include "app/document.h"
#include "editor/pagesurface.h"
#include "editor/pageview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include <algorithm>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lines removed plus lines added, as diff counts them.
int diffLines(const QString &a, const QString &b)
{
    QProcess diff;
    diff.start(QStringLiteral("diff"), {a, b});
    diff.waitForFinished(60000);
    int count = 0;
    for (const QByteArray &line : diff.readAllStandardOutput().split('\n')) {
        if (line.startsWith('<') || line.startsWith('>'))
            ++count;
    }
    return count;
}

// Changes one word (four letters or more) of the first paragraph that has one.
const char *editWord = R"JS(
(function () {
    var blocks = document.body.querySelectorAll(':scope > p, :scope > ul > li, :scope > ol > li');
    for (var i = 0; i < blocks.length; i++) {
        var walker = document.createTreeWalker(blocks[i], NodeFilter.SHOW_TEXT);
        for (var node = walker.nextNode(); node; node = walker.nextNode()) {
            if (node.parentNode.closest('code, a, pre'))
                continue;
            var m = /[A-Za-z]{4,}/.exec(node.data);
            if (!m)
                continue;
            node.data = node.data.slice(0, m.index) + 'Zyxwvut' + node.data.slice(m.index + m[0].length);
            return true;
        }
    }
    return false;
})()
)JS";

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool list = arguments.removeAll(QStringLiteral("--list")) > 0;
    const bool whole = arguments.removeAll(QStringLiteral("--whole")) > 0;
    QString htmlOut;
    const int htmlOutAt = arguments.indexOf(QStringLiteral("--html-out"));
    if (htmlOutAt >= 0 && htmlOutAt + 1 < arguments.size()) {
        htmlOut = arguments.at(htmlOutAt + 1);
        arguments.erase(arguments.begin() + htmlOutAt, arguments.begin() + htmlOutAt + 2);
    }
    const QStringList files = Fidelity::inputs(arguments);
    if (files.isEmpty()) {
        QTextStream(stderr) << "usage: veltrane-savediff-page [--list] FOLDER_OR_FILE...\n";
        return 2;
    }
    QTemporaryDir work;
    PageView view;
    PageSurface surface(&view);
    view.resize(1000, 800);
    view.show();
    waitForPage(view.page());
    Document document(&surface);

    auto openCopy = [&](const QString &file, const QString &copy) {
        QFile::remove(copy);
        QFile::copy(file, copy);
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        runJs(view.page(), QStringLiteral("document.body.innerHTML = '<i id=\"pending\"></i>'; true"));
        document.open(copy);
        if (whole) {
            QFile file(copy);
            file.open(QIODevice::ReadOnly | QIODevice::Text);
            QTextStream in(&file);
            in.setCodec("UTF-8");
            surface.setHtml(markdownToHtml(in.readAll()));
        }
        return waitFor([&] { return runJs(view.page(), QStringLiteral("!document.getElementById('pending')")).toBool(); },
                       20000);
    };
    auto save = [&] {
        if (whole) {
            bool ok = false;
            surface.markdown([&](bool answered, const QString &markdown) {
                QFile file(document.filePath());
                ok = answered && file.open(QIODevice::WriteOnly) && file.write(markdown.toUtf8()) >= 0;
            });
            return waitFor([&] { return ok; }, 20000);
        }
        bool saved = false;
        const auto connection = QObject::connect(&document, &Document::saved, [&] { saved = true; });
        document.save();
        waitFor([&] { return saved; }, 20000);
        QObject::disconnect(connection);
        return saved;
    };

    int total = 0;
    int identical = 0;
    QList<int> edits;
    for (const QString &file : files) {
        const QString copy = work.filePath(QStringLiteral("doc.md"));
        const QByteArray original = readBytes(file);
        if (!openCopy(file, copy) || !save())
            continue;
        ++total;
        const bool same = readBytes(copy) == original;
        identical += same;
        if (!same && !htmlOut.isEmpty()) {
            QFile out(htmlOut + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".html"));
            if (out.open(QIODevice::WriteOnly))
                out.write(runJs(view.page(), QStringLiteral("page.html()")).toString().toUtf8());
            QFile saved(htmlOut + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".saved.md"));
            if (saved.open(QIODevice::WriteOnly))
                saved.write(readBytes(copy));
        }
        int lines = -1;
        if (openCopy(file, copy) && runJs(view.page(), QString::fromLatin1(editWord)).toBool() && save()) {
            lines = diffLines(file, copy);
            edits << lines;
        }
        if (list)
            QTextStream(stdout) << (same ? "same " : "changed ") << lines << ' ' << file << '\n';
    }
    std::sort(edits.begin(), edits.end());
    const double median = edits.isEmpty() ? 0
        : edits.size() % 2 ? edits.at(edits.size() / 2)
                           : (edits.at(edits.size() / 2 - 1) + edits.at(edits.size() / 2)) / 2.0;
    QTextStream(stdout) << "files " << total << ", saved unedited byte-identical " << identical << " ("
                        << QString::number(total ? 100.0 * identical / total : 0, 'f', 1) << "%), one-word edit in "
                        << edits.size() << " files: median " << median << " diff lines\n";
    return 0;
}
