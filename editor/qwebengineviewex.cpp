#include "editor/qwebengineviewex.h"

QWebEngineViewEx::QWebEngineViewEx(QWidget *parent)
    : QWebEngineView(parent)
{
}

void QWebEngineViewEx::dropEvent(QDropEvent *event)
{
    emit dropEventSignal(event);
}
