#include "editor/tablesizecell.h"

TableSizeCell::TableSizeCell(QWidget *parent) : QPushButton(parent) {}

void TableSizeCell::enterEvent(QEvent *event)
{
    emit hovered();
    QPushButton::enterEvent(event);
}
