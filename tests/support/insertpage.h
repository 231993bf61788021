#ifndef INSERTPAGE_H
#define INSERTPAGE_H

// A bare editing page with only the link and search scripts, for testing those
// scripts apart from the rest of the page. The bridge is a recording stand-in:
// window.calls collects [slot, args...] for every call, window.edits counts input
// events and window.resolved counts resolveImages calls.

#include "support/guitest.h"

#include <QFile>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace InsertPage {

inline QString scriptResource(const QString &name)
{
    QFile file(QStringLiteral(":/resources/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Loads the page into view and waits until it is ready; false on failure.
inline bool load(QWebEngineView *view)
{
    const QString html = QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>\n"
        "var calls = [], edits = 0, resolved = 0;\n"
        "var contentObj = {\n"
        "  openUrl: function (u) { calls.push(['openUrl', u]); },\n"
        "  modifyLink: function (t, u) { calls.push(['modifyLink', t, u]); },\n"
        "  updateModifyStatus: function (s) { calls.push(['updateModifyStatus', s]); }\n"
        "};\n"
        "function resolveImages(node) { resolved++; }\n"
        "</script><script>%1</script><script>%2</script></head>"
        "<body class=\"markdown-body\" id=\"bodyeditor\" contenteditable=\"true\"></body></html>")
        .arg(scriptResource(QStringLiteral("links.js")), scriptResource(QStringLiteral("search.js")));
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    view->setHtml(html, QUrl(QStringLiteral("qrc:/resources/")));
    if (!loaded.wait(20000) || !loaded.first().first().toBool())
        return false;
    return GuiTest::runJs(view->page(), QStringLiteral(
        "document.body.addEventListener('input', function () { edits++; }); "
        "typeof insertPayload === 'function' && typeof highLightKeyword === 'function'")).toBool();
}

inline QString jsString(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\''), QStringLiteral("\\'"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

inline QVariant run(QWebEngineView *view, const QString &script)
{
    return GuiTest::runJs(view->page(), script);
}

// Sets the body and puts the caret at the end of the element matching caretIn:
// the end of the body when empty, no selection at all for "none".
inline void setBody(QWebEngineView *view, const QString &html, const QString &caretIn = QString())
{
    run(view, QStringLiteral(
        "document.body.innerHTML = %1; edits = 0; resolved = 0; calls = [];"
        "(function (sel) {"
        "  var s = window.getSelection(); s.removeAllRanges();"
        "  if (sel === null) return;"
        "  var r = document.createRange();"
        "  r.selectNodeContents(sel === '' ? document.body : document.querySelector(sel));"
        "  r.collapse(false); s.addRange(r);"
        "})(%2); true")
        .arg(jsString(html), caretIn == QLatin1String("none") ? QStringLiteral("null") : jsString(caretIn)));
}

inline QString bodyHtml(QWebEngineView *view)
{
    return run(view, QStringLiteral("document.body.innerHTML")).toString();
}

} // namespace InsertPage

#endif // INSERTPAGE_H
