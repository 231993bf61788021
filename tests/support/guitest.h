#ifndef GUITEST_H
#define GUITEST_H

// Shared set-up for the tests that need widgets or the editing page.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QtTest>
#include <functional>
#include <memory>

namespace GuiTest {

// Names as the program sets them, test-mode standard paths (so backups go to a
// throw-away folder) and a fresh working directory.
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

// Clicks, from a timer, the button of the next modal box whose text matches
// buttonText (any button when empty). Records the box's text in *seenText.
inline void answerNextModal(const QString &buttonText, QString *seenText = nullptr, int timeoutMs = 10000)
{
    auto *timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, buttonText, seenText, started, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (started->elapsed() > timeoutMs) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (seenText)
                *seenText = box->text();
        }
        for (QPushButton *button : modal->findChildren<QPushButton *>()) {
            if (buttonText.isEmpty() || button->text() == buttonText) {
                timer->stop();
                timer->deleteLater();
                button->click();
                return;
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            timer->stop();
            timer->deleteLater();
            dialog->reject();
        }
    });
    timer->start();
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
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return result;
}

// True once the editing page has its bridge (the page scripts have run).
inline bool pageReady(QWebEnginePage *page)
{
    return runJs(page, QStringLiteral("typeof contentObj !== 'undefined' && !!contentObj")).toBool();
}

} // namespace GuiTest

#endif // GUITEST_H
