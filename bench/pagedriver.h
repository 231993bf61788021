#ifndef PAGEDRIVER_H
#define PAGEDRIVER_H

// Waiting on the editing page from a driver that has no test framework.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include <functional>

// Runs a statement in the page and waits for its result (invalid on time-out).
inline QVariant runJs(QWebEnginePage *page, const QString &script, int timeoutMs = 20000)
{
    QVariant result;
    bool done = false;
    QEventLoop loop;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    return result;
}

// Lets events run until ready() holds; false when timeoutMs passed first.
inline bool waitFor(const std::function<bool()> &ready, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Until the page has loaded and its bridge object is there.
inline bool waitForPage(QWebEnginePage *page, int timeoutMs = 30000)
{
    return waitFor([page] {
        return runJs(page, QStringLiteral("!!window.page && document.readyState === 'complete'")).toBool();
    }, timeoutMs);
}

#endif // PAGEDRIVER_H
