#include "settings/settingdialog.h"

#include <QCoreApplication>

// Placeholder until the dialog lands.
SettingDialog::SettingDialog(QWidget *parent) : QDialog(parent), ui(nullptr) {}
SettingDialog::~SettingDialog() = default;
void SettingDialog::loadSettings() {}
void SettingDialog::loadThemeList() {}
void SettingDialog::on_cbCssFiles_currentIndexChanged(const QString &) {}
void SettingDialog::on_cbLanguage_activated(int) {}
void SettingDialog::changeEvent(QEvent *e) { QDialog::changeEvent(e); }
void SettingDialog::on_cbOpenType_currentIndexChanged(int) {}
void SettingDialog::on_cbAutoSave_clicked(bool) {}
void SettingDialog::on_cbSaveImageType_currentIndexChanged(int) {}
void SettingDialog::on_SpinBoxFontSize_valueChanged(int) {}
void SettingDialog::on_SpinBoxZoom_valueChanged(int) {}
QString themesDir() { return QCoreApplication::applicationDirPath() + QStringLiteral("/themes"); }
