#include "editor/pageview.h"

#include "editor/editorpage.h"

PageView::PageView(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new EditorPage(this));
}

void PageView::dropEvent(QDropEvent *event)
{
    emit dropEventSignal(event);
}
