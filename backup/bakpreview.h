#ifndef BAKPREVIEW_H
#define BAKPREVIEW_H

#include <QDialog>

namespace Ui { class BakPreview; }
class QTextEdit;

// Shows the raw text of one backup file; nothing typed here is kept.
class BakPreview : public QDialog
{
    Q_OBJECT

public:
    explicit BakPreview(QWidget *parent = nullptr);
    ~BakPreview() override;

    void setPreviewText(const QString &text);
    QTextEdit *textEdit() const;

private:
    Ui::BakPreview *ui;
};

#endif // BAKPREVIEW_H
