#include "settings/settingdialog.h"
#include "ui_settingdialog.h"

#include "settings/settings.h"
#include "settings/themes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

// The boxes list a setting's choices in the order of their numbers; a choice
// the box does not list shows nothing selected.
template <typename Choice>
void showChoice(QComboBox *box, Choice choice)
{
    const QSignalBlocker blocker(box);
    const int index = static_cast<int>(choice);
    box->setCurrentIndex(index < box->count() ? index : -1);
}

} // namespace

SettingDialog::SettingDialog(QWidget *parent) : QDialog(parent), ui(new Ui::SettingDialog)
{
    ui->setupUi(this);
    // The form places its rows at a fixed size that cuts off the last row with most
    // fonts; a layout around it lets the dialog grow to show every control.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(ui->formLayoutWidget);
    loadSettings();
}

SettingDialog::~SettingDialog()
{
    delete ui;
}

void SettingDialog::loadSettings()
{
    const Settings &settings = Settings::instance();
    showChoice(ui->cbLanguage, settings.language());
    showChoice(ui->cbOpenType, settings.startupDocument());
    showChoice(ui->cbSaveImageType, settings.imageHandling());

    ui->cbAutoSave->setCheckable(true);
    ui->cbAutoSave->setChecked(settings.autoBackup());

    loadThemeList();

    {
        const QSignalBlocker blocker(ui->SpinBoxZoom);
        // Zoom steps of 0.05 leave factors a hair off: show the nearest whole percent.
        ui->SpinBoxZoom->setValue(qRound(settings.zoom() * 100.0));
    }
    {
        const QSignalBlocker blocker(ui->SpinBoxFontSize);
        ui->SpinBoxFontSize->setValue(settings.editorFontSize());
    }
}

void SettingDialog::loadThemeList()
{
    const QStringList names = QDir(Themes::folder()).entryList(QDir::Files | QDir::Readable,
                                                          QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker blocker(ui->cbCssFiles);
    ui->cbCssFiles->clear();
    // First, with no file: the page takes the light or dark sheet after the palette.
    ui->cbCssFiles->addItem(tr("跟随主题"), QString());
    for (const QString &name : names)
        ui->cbCssFiles->addItem(name, name);
    const QString chosen = Settings::instance().cssFile();
    const int current = chosen.isEmpty() ? -1 : ui->cbCssFiles->findData(chosen, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ui->cbCssFiles->setCurrentIndex(qMax(0, current));
}

void SettingDialog::on_cbCssFiles_currentIndexChanged(const QString &)
{
    if (ui->cbCssFiles->currentIndex() < 0)
        return;
    Settings::instance().setCssFile(ui->cbCssFiles->currentData().toString());
}

void SettingDialog::on_cbLanguage_activated(int index)
{
    Settings::instance().setLanguage(static_cast<Settings::Language>(index));
}

void SettingDialog::keyPressEvent(QKeyEvent *event)
{
    // A spin box passes Return on after taking its typed value.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        accept();
    else
        QDialog::keyPressEvent(event);
}

void SettingDialog::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The title is the main window's text, in its context.
        setWindowTitle(QCoreApplication::translate("MainWindow", "设置"));
        loadThemeList();
    }
}

void SettingDialog::on_cbOpenType_currentIndexChanged(int index)
{
    // -1 means "nothing selected", not a choice.
    if (index >= 0)
        Settings::instance().setStartupDocument(static_cast<Settings::StartupDocument>(index));
}

void SettingDialog::on_cbAutoSave_clicked(bool checked)
{
    Settings::instance().setAutoBackup(checked);
}

void SettingDialog::on_cbSaveImageType_currentIndexChanged(int index)
{
    if (index >= 0)
        Settings::instance().setImageHandling(static_cast<Settings::ImageHandling>(index));
}

void SettingDialog::on_SpinBoxFontSize_valueChanged(int value)
{
    Settings::instance().setEditorFontSize(value);
}

void SettingDialog::on_SpinBoxZoom_valueChanged(int value)
{
    Settings::instance().setZoom(value / 100.0);
}
