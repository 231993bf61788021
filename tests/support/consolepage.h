#ifndef CONSOLEPAGE_H
#define CONSOLEPAGE_H

// The editing page in a bare web view, with the bridge registered as the main
// window does it, and every console message of the page kept for inspection.

#include "editor/content.h"
#include "support/guitest.h"

#include <QStringList>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

class ConsoleRecordingPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

    QStringList messages; // every message, "level: text (source:line)"
    QStringList errors;   // errors only

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override
    {
        const QString line = QStringLiteral("%1: %2 (%3:%4)").arg(int(level)).arg(message, sourceID).arg(lineNumber);
        messages.append(line);
        if (level == ErrorMessageLevel)
            errors.append(line);
    }
};

class ConsolePageHarness
{
public:
    ConsolePageHarness()
    {
        page = new ConsoleRecordingPage(&view);
        view.setPage(page);
        channel.registerObject(QStringLiteral("content"), &content);
        page->setWebChannel(&channel);
        view.resize(1000, 700);
        view.show();
        view.setUrl(QUrl(QStringLiteral("qrc:/resources/template.html")));
    }

    // Waits until the page script has the bridge.
    bool waitReady(int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (GuiTest::pageReady(page))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    QVariant js(const QString &script) { return GuiTest::runJs(page, script); }

    // Replaces the body as the page does on new content, then makes the code editors.
    void setBody(const QString &html)
    {
        js(QStringLiteral("document.body.innerHTML = %1; if (typeof changePreToCodeMirror === 'function') "
                          "changePreToCodeMirror(); true")
               .arg(jsString(html)));
    }

    static QString jsString(const QString &text)
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

    QWebEngineView view;
    ConsoleRecordingPage *page;
    QWebChannel channel;
    Content content;
};

#endif // CONSOLEPAGE_H
