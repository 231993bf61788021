#ifndef BACKUPTEST_H
#define BACKUPTEST_H

// Helpers for the backup, settings and export tests.

#include "support/guitest.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTimer>

namespace BackupTest {

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(data) == data.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Answers every modal message box while it lives, pressing the first button whose
// text is in the preference list, and records each box's text in order.
class ModalRecorder : public QObject
{
public:
    explicit ModalRecorder(const QStringList &preferred) : preferred(preferred)
    {
        connect(&timer, &QTimer::timeout, this, [this] { poll(); });
        timer.start(20);
    }

    QStringList seen;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        // Boxes on the stack may reuse an address, so mark the answered one.
        if (!box || box->property("answeredByTest").toBool())
            return;
        const auto buttons = box->findChildren<QPushButton *>();
        for (const QString &text : preferred) {
            for (QPushButton *button : buttons) {
                if (button->text() == text) {
                    box->setProperty("answeredByTest", true);
                    seen << box->text();
                    button->click();
                    return;
                }
            }
        }
    }

    QStringList preferred;
    QTimer timer;
};

// Answers the next file dialog from a timer by typing path into its name field and
// accepting, as a user would.
inline void answerFileDialog(const QString &path, int timeoutMs = 10000)
{
    auto *timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, path, started, timeoutMs] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (started->elapsed() > timeoutMs) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    timer->start(20);
}

} // namespace BackupTest

#endif // BACKUPTEST_H
