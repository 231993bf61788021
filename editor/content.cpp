#include "editor/content.h"

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

Content::Content(QObject *parent)
    : QObject(parent)
{
}

Content::~Content()
{
    // The dialog has no parent; do not leave it open on a bridge that is gone.
    if (linkDialog)
        linkDialog->close();
}

LinkDialog *Content::currentLinkDialog() const
{
    return linkDialog.data();
}

void Content::showInfoInStatusBar(const QString &text)
{
    emit showInfoInStatusBarSignal(text);
}

void Content::openUrl(const QString &url)
{
    const QUrl target(url);
    if (!isOpenableUrl(target)) {
        emit statusMessageSignal(tr("已拒绝打开地址：%1").arg(url));
        return;
    }
    QDesktopServices::openUrl(target);
}

void Content::modifyLink(const QString &text, const QString &url)
{
    openLinkDialog(text, url, true);
}

void Content::addLink(const QString &selection)
{
    openLinkDialog(selection, QString(), false);
}

void Content::updateModifyStatus(bool status)
{
    emit updateModifyStatusSignal(status);
}

void Content::loadThemeCss()
{
    emit loadThemeCssSignal();
}

void Content::loadRecentMd()
{
    emit loadRecentMdSignal();
}

void Content::webViewFocus()
{
    emit webViewFocusSignal();
}

void Content::contentLoaded(bool ok)
{
    emit contentLoadedSignal(ok);
}

void Content::paste()
{
    emit pasteSignal();
}

void Content::openLinkDialog(const QString &text, const QString &url, bool isModify)
{
    linkDialog = new LinkDialog(text, url, isModify);
    connect(linkDialog, &LinkDialog::linkAccepted, this, &Content::dealLinkSignal);
    linkDialog->show();
}
