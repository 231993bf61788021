#include "editor/tabledialog.h"
#include "ui_tabledialog.h"

#include "editor/tablesizecell.h"

#include <QIntValidator>
#include <QKeyEvent>
#include <QSizePolicy>

namespace {

const int gridRows = 10;
const int gridColumns = 6;

const char *const cellStyle = "background-color: rgb(255, 255, 255);border:1px;padding:6px;";
const char *const selectedCellStyle = "background-color: rgb(208,208,208);border:1px;padding:6px;";

} // namespace

TableDialog::TableDialog(QWidget *parent) : QDialog(parent), ui(new Ui::TableDialog)
{
    ui->setupUi(this);
    ui->rowsEdit->setValidator(new QIntValidator(1, gridRows, this));
    ui->columnsEdit->setValidator(new QIntValidator(1, gridColumns, this));

    for (int row = 0; row < gridRows; ++row) {
        for (int column = 0; column < gridColumns; ++column) {
            auto *button = new TableSizeCell(ui->cellGrid);
            button->row = row;
            button->column = column;
            button->setText(QStringLiteral(" "));
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            button->setMinimumSize(1, 1);
            // Return means the size in the fields, never whichever cell has the focus.
            button->setAutoDefault(false);
            button->setStyleSheet(QLatin1String(row == 0 && column == 0 ? selectedCellStyle : cellStyle));
            ui->cellLayout->addWidget(button, row, column);
            cells.append(button);

            connect(button, &TableSizeCell::hovered, this, [this, row, column] {
                ui->rowsEdit->setText(QString::number(row + 1));
                ui->columnsEdit->setText(QString::number(column + 1));
                highlightUpTo(row, column);
            });
            connect(button, &QPushButton::clicked, this, [this, row, column] {
                rowIndex = row;
                columnIndex = column;
                accept();
            });
        }
    }
}

TableDialog::~TableDialog()
{
    delete ui;
}

TableSizeCell *TableDialog::cell(int row, int column) const
{
    if (row < 0 || row >= gridRows || column < 0 || column >= gridColumns)
        return nullptr;
    return cells.at(row * gridColumns + column);
}

void TableDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (ui->rowsEdit->hasAcceptableInput() && ui->columnsEdit->hasAcceptableInput()) {
            rowIndex = ui->rowsEdit->text().toInt() - 1;
            columnIndex = ui->columnsEdit->text().toInt() - 1;
            accept();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void TableDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        // The fields show the size last previewed; the form's texts would reset them.
        const QString rows = ui->rowsEdit->text();
        const QString columns = ui->columnsEdit->text();
        ui->retranslateUi(this);
        ui->rowsEdit->setText(rows);
        ui->columnsEdit->setText(columns);
    }
}

void TableDialog::highlightUpTo(int row, int column)
{
    for (TableSizeCell *button : qAsConst(cells)) {
        const bool selected = button->row <= row && button->column <= column;
        button->setStyleSheet(QLatin1String(selected ? selectedCellStyle : cellStyle));
    }
}
