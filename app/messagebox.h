#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <QMessageBox>
#include <QString>

// Button sets of showMessageBox.
enum MessageBoxKind {
    MessageBoxYes = 0,      // "是"
    MessageBoxYesNo = 1,    // "是" and "否"
    MessageBoxUnderstood = 2 // "明白"
};

// The program's one modal message box; returns the pressed standard button.
int showMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text, int kind);

// Asked when the file at path changed on disk while the document has changes
// of its own: true keeps them (the default, and Escape), false loads the file.
bool askKeepMineOnConflict(QWidget *parent, const QString &path);

#endif // MESSAGEBOX_H
