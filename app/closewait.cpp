#include "app/closewait.h"

#include <QProgressDialog>
#include <QTimer>

namespace {
// A close that waits longer than this for a save shows that it is waiting.
const int kShownAfter = 500;
} // namespace

CloseWait::CloseWait(QWidget *window, const std::function<bool()> &busy) : QObject(window), window(window), busy(busy)
{
}

bool CloseWait::mustWait()
{
    if (!busy() || stoppedWaiting) {
        stoppedWaiting = false;
        return false;
    }
    if (progress)
        return true;
    progress = new QProgressDialog(tr("正在完成保存，完成后关闭窗口……"), tr("不再等待"), 0, 0, window);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(kShownAfter);
    progress->setValue(0);
    connect(progress, &QProgressDialog::canceled, this, [this] { finish(false); });
    return true;
}

void CloseWait::settled()
{
    if (progress)
        finish(true);
}

void CloseWait::finish(bool settled)
{
    progress->disconnect(this);
    progress->deleteLater();
    progress = nullptr;
    stoppedWaiting = !settled;
    // Not from inside the page's answer: the window may go away.
    QTimer::singleShot(0, window, &QWidget::close);
}
