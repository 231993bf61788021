#ifndef WINDOWTEST_H
#define WINDOWTEST_H

// The program's window, reached through its public parts: the document, the
// mode switch with its two surfaces, and the form's actions by object name.

#include "app/document.h"
#include "app/mainwindow.h"
#include "editor/modeswitch.h"
#include "editor/pagesurface.h"
#include "editor/pageview.h"
#include "editor/sourcesurface.h"
#include "support/guitest.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QStatusBar>

class WindowHarness
{
public:
    WindowHarness() { window.resize(1000, 700); }

    Document *document() { return window.document(); }
    ModeSwitch *modes() { return window.modes(); }
    PageSurface *page() { return window.modes()->page(); }
    QPlainTextEdit *editor() { return window.modes()->source()->editor(); }
    QAction *action(const char *name) { return window.findChild<QAction *>(QLatin1String(name)); }
    template <typename T>
    T *child(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    QString statusText() { return window.statusBar()->currentMessage(); }

    bool showAndWait()
    {
        window.show();
        return GuiTest::waitForPage(page()->view()->page(), 30000);
    }
    QVariant js(const QString &script) { return GuiTest::runJs(page()->view()->page(), script); }
    QString body() { return js(QStringLiteral("document.body.innerHTML")).toString(); }
    bool callsArrived() { return GuiTest::pageCallsArrived(page()->view()->page(), page()->bridge()); }

    // Switches mode and waits until the page's answer has reached the editor.
    bool switchTo(bool source)
    {
        // In source mode once the page's answer is in the editor.
        bool answered = false;
        const auto connection = QObject::connect(modes(), &ModeSwitch::surfaceChanged, [&](EditingSurface *now) {
            answered = answered || now == modes()->source();
        });
        modes()->setSourceMode(source);
        const bool done = !source || GuiTest::waitFor([&answered] { return answered; }, 10000);
        QObject::disconnect(connection);
        return done;
    }

    MainWindow window;
};

#endif // WINDOWTEST_H
