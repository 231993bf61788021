#ifndef MYPUSHBUTTON_H
#define MYPUSHBUTTON_H

#include <QPushButton>

// A cell of the table-size picker: knows its grid position and reports when
// the pointer enters it.
class MyPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyPushButton(QWidget *parent = nullptr);

    int row = 0;
    int column = 0;

signals:
    void hovered();

protected:
    void enterEvent(QEvent *event) override;
};

#endif // MYPUSHBUTTON_H
