#include "editor/pagebridge.h"

#include "editor/linkdialog.h"

#include <QDesktopServices>
#include <QUrl>

bool isOpenableUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("mailto"));
}

PageBridge::PageBridge(QObject *parent)
    : QObject(parent)
{
}

PageBridge::~PageBridge()
{
    // The dialog has no parent; do not leave it open on a bridge that is gone.
    if (linkDialog)
        linkDialog->close();
}

LinkDialog *PageBridge::currentLinkDialog() const
{
    return linkDialog.data();
}

void PageBridge::ready()
{
    emit pageReady();
}

void PageBridge::edited()
{
    emit documentEdited();
}

void PageBridge::wordCount(const QString &count)
{
    emit wordCountChanged(count);
}

void PageBridge::focused()
{
    emit pageFocused();
}

void PageBridge::paste()
{
    emit pasteRequested();
}

void PageBridge::contentLoaded(bool ok)
{
    emit documentLoaded(ok);
}

void PageBridge::openUrl(const QString &url)
{
    const QUrl target(url);
    if (!isOpenableUrl(target)) {
        emit statusMessage(tr("已拒绝打开地址：%1").arg(url));
        return;
    }
    QDesktopServices::openUrl(target);
}

void PageBridge::editLink(const QString &text, const QString &url)
{
    openLinkDialog(text, url, true);
}

void PageBridge::newLink(const QString &selectedText)
{
    openLinkDialog(selectedText, QString(), false);
}

void PageBridge::openLinkDialog(const QString &text, const QString &url, bool isModify)
{
    linkDialog = new LinkDialog(text, url, isModify);
    connect(linkDialog, &LinkDialog::linkAccepted, this, &PageBridge::linkAccepted);
    linkDialog->show();
}
