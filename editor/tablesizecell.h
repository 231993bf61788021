#ifndef TABLESIZECELL_H
#define TABLESIZECELL_H

#include <QPushButton>

// A cell of the table-size picker: knows its grid position and reports when
// the pointer enters it.
class TableSizeCell : public QPushButton
{
    Q_OBJECT

public:
    explicit TableSizeCell(QWidget *parent = nullptr);

    int row = 0;
    int column = 0;

signals:
    void hovered();

protected:
    void enterEvent(QEvent *event) override;
};

#endif // TABLESIZECELL_H
