#include "editor/editorpage.h"

#include <QDebug>

EditorPage::EditorPage(QObject *parent)
    : QWebEnginePage(parent)
{
}

QUrl EditorPage::editingPageUrl()
{
    return QUrl(QStringLiteral("qrc:/resources/template.html"));
}

bool EditorPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // A program-initiated load is "typed"; everything a page can start itself
    // (link clicks, forms, refreshes, redirects, frames) is some other type.
    if (isMainFrame && type == NavigationTypeTyped
        && url.adjusted(QUrl::RemoveFragment) == editingPageUrl())
        return true;
    qDebug() << "refused navigation" << url.toString(QUrl::RemoveQuery) << type << isMainFrame;
    emit navigationRefused(url);
    return false;
}
