#ifndef CLOSEWAIT_H
#define CLOSEWAIT_H

#include <QObject>
#include <functional>

class QProgressDialog;
class QWidget;

// A window's close that finds the page still owing an answer (a save, say)
// waits for it: the window is closed again once the answer has come, or at
// once, asking what it must, when the user stops waiting.
class CloseWait : public QObject
{
    Q_OBJECT

public:
    // busy tells whether the page still owes an answer.
    CloseWait(QWidget *window, const std::function<bool()> &busy);

    // Asked by each close of the window: true when this one must wait, and
    // the window is closed again later.
    bool mustWait();

public slots:
    // The page owes nothing more.
    void settled();

private:
    void finish(bool settled);

    QWidget *window;
    std::function<bool()> busy;
    QProgressDialog *progress = nullptr;
    bool stoppedWaiting = false;
};

#endif // CLOSEWAIT_H
