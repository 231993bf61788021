#include "editor/pageview.h"

#include "editor/editorpage.h"

#include <QDragLeaveEvent>

PageView::PageView(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new EditorPage(this));
}

void PageView::dropEvent(QDropEvent *event)
{
    // The engine followed the drag; end that as a leave, so that it inserts nothing itself.
    QDragLeaveEvent leave;
    QWebEngineView::dragLeaveEvent(&leave);
    emit dropped(event);
}
