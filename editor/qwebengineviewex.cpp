#include "editor/qwebengineviewex.h"

#include "editor/editorpage.h"

QWebEngineViewEx::QWebEngineViewEx(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new EditorPage(this));
}

void QWebEngineViewEx::dropEvent(QDropEvent *event)
{
    emit dropEventSignal(event);
}
