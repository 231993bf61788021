#ifndef PAGETEST_H
#define PAGETEST_H

// The editing page as the program builds it (view, bridge, channel), without
// the window around it. Script errors of the page are collected.

#include "editor/pagesurface.h"
#include "editor/pageview.h"
#include "support/guitest.h"

#include <QStringList>

class PageHarness
{
public:
    PageHarness() : surface(&view)
    {
        errors().clear();
        previousHandler() = qInstallMessageHandler(&PageHarness::record);
        view.resize(1000, 700);
        view.show();
    }
    ~PageHarness() { qInstallMessageHandler(previousHandler()); }

    // The page's console errors ("js" messages of critical level) so far.
    static QStringList &errors()
    {
        static QStringList list;
        return list;
    }

    PageBridge &bridge() { return *surface.bridge(); }
    QWebEnginePage *page() { return view.page(); }
    bool waitReady() { return GuiTest::waitForPage(page()); }
    QVariant js(const QString &script) { return GuiTest::runJs(page(), script); }
    QString text(const QString &script) { return js(script).toString(); }
    QString body() { return text(QStringLiteral("document.body.innerHTML")); }
    bool callsArrived() { return GuiTest::pageCallsArrived(page(), &bridge()); }

    // Sets the body through the bridge, as the program does, and waits until the page has it.
    bool setHtml(const QString &html, const QString &documentPath = QString())
    {
        js(QStringLiteral("document.body.innerHTML = '<i id=\"pending-sentinel\"></i>'; true"));
        surface.setDocumentPath(documentPath);
        surface.setHtml(html);
        return GuiTest::waitFor([this] { return js(QStringLiteral("!document.getElementById('pending-sentinel')")).toBool(); },
                               10000);
    }

    // Sets the body at once, without the bridge, and makes its code blocks:
    // live editors, or, with live false, the static blocks a loaded page shows.
    void setBody(const QString &html, bool live = true)
    {
        js(QStringLiteral("document.body.innerHTML = %1; modules.codeblocks.makeCodeBlocks(); %2 true")
               .arg(GuiTest::jsString(html), live ? QStringLiteral("modules.codeblocks.activateCodeBlocks();") : QString()));
    }

    // Puts the caret (or, with end, a selection up to end) into the element
    // matching selector: an offset into its first text node, its end when -1.
    void select(const QString &selector, int start = -1, int end = -2)
    {
        js(QStringLiteral("(function (sel, start, end) { var n = document.querySelector(sel);"
                          " while (n.firstChild) n = n.firstChild;"
                          " var length = n.nodeType === 3 ? n.length : 0; var r = document.createRange();"
                          " r.setStart(n, start < 0 ? length : start); if (end >= -1) r.setEnd(n, end < 0 ? length : end);"
                          " getSelection().removeAllRanges(); getSelection().addRange(r); })(%1, %2, %3); true")
               .arg(GuiTest::jsString(selector))
               .arg(start)
               .arg(end));
    }

    PageView view;
    PageSurface surface;

private:
    static QtMessageHandler &previousHandler()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtCriticalMsg && context.category && QByteArray(context.category) == "js")
            errors().append(message);
        if (previousHandler())
            previousHandler()(type, context, message);
    }
};

#endif // PAGETEST_H
