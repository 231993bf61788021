#ifndef IMAGEDIALOG_H
#define IMAGEDIALOG_H

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for an image address (a web address or a local path). Emits imageChosen
// with the checked text on "确定" (or Return); invalid text keeps it open with a
// tool tip. Escape cancels.
class ImageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ImageDialog(QWidget *parent = nullptr);

    QLineEdit *pathEdit() const { return pathField; }
    QPushButton *okButton() const { return confirmButton; }

    static bool isAcceptablePath(const QString &text);

signals:
    void imageChosen(const QString &text);

private slots:
    void choose();
    void confirm();

private:
    QLineEdit *pathField;
    QPushButton *confirmButton;
};

#endif // IMAGEDIALOG_H
