#include "editor/mypushbutton.h"

MyPushButton::MyPushButton(QWidget *parent) : QPushButton(parent) {}

void MyPushButton::enterEvent(QEvent *event)
{
    emit hovered();
    QPushButton::enterEvent(event);
}
