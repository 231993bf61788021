#include "settings/settingdialog.h"
#include "ui_settingdialog.h"

#include "settings/settings.h"
#include "settings/themes.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

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
    {
        const QSignalBlocker blocker(ui->cbLanguage);
        ui->cbLanguage->setCurrentIndex(settings.language());
    }
    // These two write back what they show, which is the stored value.
    ui->cbOpenType->setCurrentIndex(settings.openType());
    ui->cbSaveImageType->setCurrentIndex(settings.saveImageType());

    ui->cbAutoSave->setCheckable(true);
    ui->cbAutoSave->setChecked(settings.autoSave());

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
    emit changeCssTheme();
}

void SettingDialog::on_cbLanguage_activated(int index)
{
    // Reinstalled every time, so this translator goes in front of the start-up one.
    QCoreApplication::removeTranslator(&translator);
    if (index == 0)
        translator.load(QStringLiteral(":/chinese.qm"));
    else if (index == 1)
        translator.load(QStringLiteral(":/english.qm"));
    QCoreApplication::installTranslator(&translator);
    Settings::instance().setLanguage(index);
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
    // -1 means "nothing selected" (a stored value out of range), not a choice.
    if (index >= 0)
        Settings::instance().setOpenType(index);
}

void SettingDialog::on_cbAutoSave_clicked(bool checked)
{
    Settings::instance().setAutoSave(checked);
}

void SettingDialog::on_cbSaveImageType_currentIndexChanged(int index)
{
    if (index >= 0)
        Settings::instance().setSaveImageType(index);
}

void SettingDialog::on_SpinBoxFontSize_valueChanged(int value)
{
    Settings::instance().setEditorFontSize(value);
    emit setEditorFontSizeSignal(value);
}

void SettingDialog::on_SpinBoxZoom_valueChanged(int value)
{
    const double zoom = value / 100.0;
    Settings::instance().setZoom(zoom);
    emit zoomValueChangeSignal(zoom);
}
