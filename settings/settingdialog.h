#ifndef SETTINGDIALOG_H
#define SETTINGDIALOG_H

#include <QDialog>

namespace Ui { class SettingDialog; }

// The preferences window; every control writes its key at once, so Return
// closes it as Escape does: there is nothing left to confirm or undo. What a
// setting changes follows the settings' own signals.
class SettingDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingDialog(QWidget *parent = nullptr);
    ~SettingDialog() override;

    // Shows the stored values, writing none.
    void loadSettings();
    void loadThemeList();

private slots:
    void on_cbCssFiles_currentIndexChanged(const QString &fileName);
    void on_cbLanguage_activated(int index);
    void changeEvent(QEvent *e) override;
    void on_cbOpenType_currentIndexChanged(int index);
    void on_cbAutoSave_clicked(bool checked);
    void on_cbSaveImageType_currentIndexChanged(int index);
    void on_SpinBoxFontSize_valueChanged(int value);
    void on_SpinBoxZoom_valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Ui::SettingDialog *ui;
};

#endif // SETTINGDIALOG_H
