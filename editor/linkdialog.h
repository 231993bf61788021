#ifndef LINKDIALOG_H
#define LINKDIALOG_H

#include <QJsonObject>
#include <QDialog>

class QLineEdit;
class QPushButton;

// "设置超链接": text and address of a link to insert or change. Top-level,
// application modal, deletes itself when closed. Return confirms, Escape cancels.
class LinkDialog : public QDialog
{
    Q_OBJECT

public:
    LinkDialog(const QString &text, const QString &url, bool isModify, QWidget *parent = nullptr);

    QLineEdit *textEdit() const { return textField; }
    QLineEdit *urlEdit() const { return urlField; }
    QPushButton *okButton() const { return confirmButton; }

    // The payload the dialog emits for the current fields.
    QJsonObject payload() const;

signals:
    void linkAccepted(const QJsonObject &jsonData);

private slots:
    void confirm();

private:
    QLineEdit *textField;
    QLineEdit *urlField;
    QPushButton *confirmButton;
    bool modify;
};

#endif // LINKDIALOG_H
