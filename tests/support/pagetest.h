#ifndef PAGETEST_H
#define PAGETEST_H

// The editing page in a bare web view with its own bridge object: enough for
// the page functions, without the main window around them.

#include "editor/content.h"
#include "editor/qwebengineviewex.h"
#include "support/guitest.h"

#include <QJsonDocument>
#include <QWebChannel>
#include <QWebEnginePage>

struct PageHarness
{
    Content content;
    QWebChannel channel;
    QWebEngineViewEx view;

    PageHarness()
    {
        channel.registerObject(QStringLiteral("content"), &content);
        view.page()->setWebChannel(&channel);
        view.resize(800, 600);
        view.show();
        view.setUrl(QUrl(QStringLiteral("qrc:/resources/template.html")));
    }

    QWebEnginePage *page() { return view.page(); }

    QVariant js(const QString &script) { return GuiTest::runJs(page(), script); }

    // True once the channel is open and the load handlers are installed.
    bool waitReady(int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (js(QStringLiteral("typeof contentObj !== 'undefined' && !!contentObj"
                                  " && document.readyState === 'complete'")).toBool())
                return true;
            QTest::qWait(20);
        }
        return false;
    }

    // Sets the body as the program does and waits until the page has it.
    bool setHtml(const QString &html, const QString &folderUrl = QString())
    {
        js(QStringLiteral("document.body.innerHTML = '<i id=\"pending-sentinel\"></i>';"));
        emit content.documentFolderSignal(folderUrl);
        emit content.setHtmlSignal(html);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            if (js(QStringLiteral("!document.getElementById('pending-sentinel')")).toBool())
                return true;
            QTest::qWait(10);
        }
        return false;
    }
};

#endif // PAGETEST_H
