#ifndef DIALOGLICENSE_H
#define DIALOGLICENSE_H

#include <QDialog>

namespace Ui { class DialogLicense; }

// Shows the licence texts of the components shipped with the program.
class DialogLicense : public QDialog
{
    Q_OBJECT

public:
    explicit DialogLicense(QWidget *parent = nullptr);
    ~DialogLicense() override;

private:
    Ui::DialogLicense *ui;
};

#endif // DIALOGLICENSE_H
