#include "editor/imagedialog.h"

#include <QLineEdit>
#include <QPushButton>

// Placeholder until the dialog lands.
ImageDialog::ImageDialog(QWidget *parent)
    : QWidget(parent), pathField(new QLineEdit(this)), confirmButton(new QPushButton(this)) {}
bool ImageDialog::isAcceptablePath(const QString &) { return false; }
void ImageDialog::choose() {}
void ImageDialog::confirm() {}
