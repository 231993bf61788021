#ifndef GUITEST_H
#define GUITEST_H

// Shared set-up for the tests: isolation from the user's files, files, modal
// dialogs answered as a user would, and statements run in a page.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QtTest>
#include <functional>
#include <memory>

namespace GuiTest {

// Names as the program sets them, test-mode standard paths (settings and backups
// go to a throw-away folder) and a fresh working directory.
// Keep the returned folder alive for the test's duration.
inline std::unique_ptr<QTemporaryDir> isolate()
{
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orrinfold"));
    QStandardPaths::setTestModeEnabled(true);
    auto dir = std::make_unique<QTemporaryDir>();
    // Test-mode paths still live under the home folder; give every test its own,
    // so that a backup left by one test never meets another at start-up.
    qputenv("HOME", dir->path().toLocal8Bit());
    QDir::setCurrent(dir->path());
    return dir;
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers every modal dialog while it lives, from a timer: a message box with the
// first button whose text is in buttons (recording the box's text in seen), a file
// dialog by typing filePath into it and accepting, a list to choose from by choosing
// filePath (recording the items, one per line, in seen), any other dialog by rejecting it.
class ModalAnswers : public QObject
{
public:
    explicit ModalAnswers(const QStringList &buttons, const QString &filePath = QString())
        : buttons(buttons), filePath(filePath)
    {
        connect(&timer, &QTimer::timeout, this, [this] { answer(); });
        timer.start(20);
    }

    QStringList seen;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // Dialogs on the stack may reuse an address, so mark the answered one.
        if (!modal || modal->property("answeredByTest").toBool())
            return;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            modal->setProperty("answeredByTest", true);
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(filePath);
            QMetaObject::invokeMethod(dialog, "accept");
            return;
        }
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            modal->setProperty("answeredByTest", true);
            seen << input->comboBoxItems().join(QLatin1Char('\n'));
            input->setTextValue(filePath);
            QMetaObject::invokeMethod(input, "accept");
            return;
        }
        const auto candidates = modal->findChildren<QPushButton *>();
        for (const QString &text : buttons) {
            for (QPushButton *button : candidates) {
                if (button->text() == text) {
                    modal->setProperty("answeredByTest", true);
                    if (auto *box = qobject_cast<QMessageBox *>(modal))
                        seen << box->text();
                    button->click();
                    return;
                }
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            modal->setProperty("answeredByTest", true);
            dialog->reject();
        }
    }

    QStringList buttons;
    QString filePath;
    QTimer timer;
};

// Processes events until done() holds; false on timeout. Unlike QTest's waits it
// never sleeps: the editing page's resources are served on this thread.
template <typename Predicate>
inline bool waitFor(Predicate done, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs trigger, then hands each modal dialog or popup menu that comes up, in turn,
// to the next of steps (from the event loop, so a step may open a nested dialog),
// and waits until every step has run and nothing modal is left. Returns the class
// names of the widgets met. A step that leaves its widget open ends the run at
// the timeout.
inline QStringList throughModals(const std::function<void()> &trigger,
                                 const QList<std::function<void(QWidget *)>> &steps, int timeoutMs = 20000)
{
    QStringList met;
    QPointer<QWidget> last;
    int next = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activePopupWidget();
        if (!modal)
            modal = QApplication::activeModalWidget();
        if (!modal || modal == last || next >= steps.size())
            return;
        last = modal;
        met << QString::fromLatin1(modal->metaObject()->className());
        const auto step = steps.at(next++);
        QTimer::singleShot(0, modal, [step, modal] { step(modal); });
    });
    timer.start(20);
    trigger();
    waitFor([&] { return next >= steps.size() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget(); },
            timeoutMs);
    return met;
}

// Runs a statement in the page and waits for its result.
inline QVariant runJs(QWebEnginePage *page, const QString &script, int timeoutMs = 10000)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    waitFor([&done] { return done; }, timeoutMs);
    return result;
}

// True once the editing page has its bridge and its load handlers.
inline bool pageReady(QWebEnginePage *page)
{
    return runJs(page, QStringLiteral("!!window.page && document.readyState === 'complete'")).toBool();
}

// Waits until the page is ready, and gives tests that look inside the page's
// modules (resources/page/*.js) each one's exports as window.modules.<file
// name>: imported again, a module is the instance the page runs.
inline bool waitForPage(QWebEnginePage *page, int timeoutMs = 20000)
{
    if (!waitFor([page] { return pageReady(page); }, timeoutMs))
        return false;
    QStringList names = QDir(QStringLiteral(":/resources/page")).entryList({QStringLiteral("*.js")});
    names.replaceInStrings(QStringLiteral(".js"), QString());
    runJs(page, QStringLiteral("window.modules = null; var names = %1;"
                               " Promise.all(names.map(function (n) { return import('qrc:/resources/page/' + n + '.js'); }))"
                               " .then(function (all) { var m = {}; names.forEach(function (n, i) { m[n] = all[i]; });"
                               " window.modules = m; }); true")
                    .arg(QStringLiteral("['") + names.join(QStringLiteral("','")) + QStringLiteral("']")));
    return waitFor([page] { return runJs(page, QStringLiteral("!!window.modules")).toBool(); }, timeoutMs);
}

// Waits until every call the page made so far has reached the program: the
// page's calls arrive in order, so one made now (a word count that is no
// number) arrives after them. Needs window.modules (waitForPage).
template <typename Bridge>
inline bool pageCallsArrived(QWebEnginePage *page, Bridge *bridge)
{
    QSignalSpy told(bridge, &Bridge::wordCountChanged);
    runJs(page, QStringLiteral("modules.program.program.wordCount('arrived'); true"));
    return waitFor([&told] {
        for (const QList<QVariant> &arguments : told) {
            if (arguments.first().toString() == QLatin1String("arrived"))
                return true;
        }
        return false;
    }, 5000);
}

// text as a JavaScript string literal.
inline QString jsString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() > 0x7e)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

// Waits until the page's theme sheet (the link "themecss") is the one at url
// and has loaded: the page has no theme at all while a new sheet loads, so a
// look checked earlier is the bare page's.
inline bool themeSheetLoaded(QWebEnginePage *page, const QUrl &url, int timeoutMs = 30000)
{
    const QString loaded = QStringLiteral("(function () { var link = document.getElementById('themecss');"
                                          " return !!link && link.href === %1 && !!link.sheet"
                                          " && link.sheet.href === link.href && link.sheet.cssRules.length > 0; })()")
                               .arg(jsString(url.toString(QUrl::FullyEncoded)));
    return waitFor([&] { return runJs(page, loaded).toBool(); }, timeoutMs);
}

} // namespace GuiTest

#endif // GUITEST_H
