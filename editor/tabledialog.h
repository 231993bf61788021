#ifndef TABLEDIALOG_H
#define TABLEDIALOG_H

#include <QDialog>
#include <QVector>

namespace Ui { class TableDialog; }
class TableSizeCell;

// Size picker for a new table: a 10 by 6 grid of cells; hovering previews the
// size, clicking chooses it and closes the dialog. Return chooses the size shown
// in the two fields (hovered or typed); Escape cancels.
class TableDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TableDialog(QWidget *parent = nullptr);
    ~TableDialog() override;

    int rowIndex = 0;    // zero-based row of the last clicked cell
    int columnIndex = 0; // zero-based column of the last clicked cell

    TableSizeCell *cell(int row, int column) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The window keeps one picker for its lifetime: follow the interface language.
    void changeEvent(QEvent *event) override;

private:
    void highlightUpTo(int row, int column);

    Ui::TableDialog *ui;
    QVector<TableSizeCell *> cells;
};

#endif // TABLEDIALOG_H
