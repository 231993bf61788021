#include "settings/catalogue.h"
#include "settings/settings.h"
#include "settings/settingdialog.h"
#include "settings/themes.h"
#include "support/guitest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

class TestSettingDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void defaults();
    void zoomShowsNearestPercent_data();
    void zoomShowsNearestPercent();
    void storedZoomIsUsable_data();
    void storedZoomIsUsable();
    void loadingWritesNothing();
    void controlsWrite();
    void themeListOffersEveryFile();
    void themeStaysInItsFolder_data();
    void themeStaysInItsFolder();
    void sheetFollowsPaletteUnlessChosen_data();
    void sheetFollowsPaletteUnlessChosen();
    void languageSwitchesAtOnce();
    void legacyFileIsReadOnce();

private:
    template <typename T>
    T *child(SettingDialog &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> home;
    QString extraTheme;
};

void TestSettingDialog::initTestCase()
{
    home = GuiTest::isolate();
    Catalogue::followSetting(); // as the program's window does
    // The themes folder beside the test program holds what the build copied there.
    QVERIFY2(QFile::exists(Themes::folder() + QStringLiteral("/github-markdown-light.css")), qPrintable(Themes::folder()));
    QVERIFY(QFile::exists(Themes::folder() + QStringLiteral("/github-markdown-dark.css")));
}

void TestSettingDialog::init()
{
    Settings::instance().clear();
}

void TestSettingDialog::cleanup()
{
    if (!extraTheme.isEmpty())
        QFile::remove(extraTheme);
    extraTheme.clear();
}

void TestSettingDialog::defaults()
{
    SettingDialog dialog;
    QCOMPARE(child<QComboBox>(dialog, "cbLanguage")->currentText(), QStringLiteral("中文"));
    QCOMPARE(child<QComboBox>(dialog, "cbOpenType")->currentText(), QStringLiteral("创建一个空白文档"));
    QCOMPARE(child<QComboBox>(dialog, "cbSaveImageType")->currentText(), QStringLiteral("保留图片地址"));
    QVERIFY(child<QCheckBox>(dialog, "cbAutoSave")->isCheckable());
    QVERIFY(!child<QCheckBox>(dialog, "cbAutoSave")->isChecked());
    QCOMPARE(child<QComboBox>(dialog, "cbCssFiles")->currentText(), QStringLiteral("跟随主题"));
    QSpinBox *zoom = child<QSpinBox>(dialog, "SpinBoxZoom");
    QCOMPARE(zoom->value(), 100);
    QCOMPARE(zoom->text(), QStringLiteral("100%"));
    QCOMPARE(zoom->minimum(), 25);
    QCOMPARE(zoom->maximum(), 500);
    QCOMPARE(child<QSpinBox>(dialog, "SpinBoxFontSize")->value(), 16);
    QCOMPARE(child<QSpinBox>(dialog, "SpinBoxFontSize")->minimum(), 1);

    // Every row is inside the shown dialog, the last one included.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget *last = child<QSpinBox>(dialog, "SpinBoxFontSize");
    const QRect shown(last->mapTo(&dialog, QPoint(0, 0)), last->size());
    QVERIFY2(dialog.rect().contains(shown), qPrintable(QStringLiteral("%1 in %2x%3").arg(shown.bottom()).arg(dialog.width()).arg(dialog.height())));
}

void TestSettingDialog::zoomShowsNearestPercent_data()
{
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("shown");
    QTest::newRow("0.29") << 0.29 << 29;
    QTest::newRow("a hair below 0.9") << 0.9 - 1e-12 << 90;
    QTest::newRow("a hair above 1.15") << 1.15 + 1e-12 << 115;
    QTest::newRow("below the minimum") << 0.1 << 25;
}

void TestSettingDialog::storedZoomIsUsable_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("zoom");
    QTest::newRow("not a number") << "nan" << 1.0;
    QTest::newRow("infinite") << "inf" << 1.0;
    QTest::newRow("negative") << "-2" << 1.0;
    QTest::newRow("text") << "large" << 1.0;
    QTest::newRow("too large") << "40" << Settings::maxZoom;
    QTest::newRow("in range") << "1.5" << 1.5;
}

void TestSettingDialog::storedZoomIsUsable()
{
    // As a hand-edited file holds it.
    QFETCH(QString, stored);
    QFETCH(double, zoom);
    for (const char *key : {"zoom", "sourceZoom"})
        QSettings(Settings::instance().fileName(), QSettings::IniFormat).setValue(QLatin1String(key), stored);
    QCOMPARE(Settings::instance().zoom(), zoom);
    QCOMPARE(Settings::instance().sourceZoom(), zoom);
}

void TestSettingDialog::zoomShowsNearestPercent()
{
    QFETCH(double, factor);
    QFETCH(int, shown);
    Settings::instance().setZoom(factor);
    SettingDialog dialog;
    QCOMPARE(child<QSpinBox>(dialog, "SpinBoxZoom")->value(), shown);
}

void TestSettingDialog::loadingWritesNothing()
{
    SettingDialog dialog;
    QSignalSpy language(child<QComboBox>(dialog, "cbLanguage"), QOverload<int>::of(&QComboBox::currentIndexChanged));

    // Values changed elsewhere (the window's zoom actions, say) are shown on the next load.
    Settings::instance().setLanguage(Settings::Language::English);
    Settings::instance().setStartupDocument(Settings::StartupDocument::MostRecent);
    Settings::instance().setAutoBackup(true);
    Settings::instance().setCssFile(QStringLiteral("github-markdown-dark.css"));
    Settings::instance().setZoom(1.25);
    Settings::instance().setEditorFontSize(21);
    QSignalSpy theme(&Settings::instance(), &Settings::cssFileChanged);
    QSignalSpy font(&Settings::instance(), &Settings::editorFontSizeChanged);
    QSignalSpy zoom(&Settings::instance(), &Settings::zoomChanged);
    dialog.loadSettings();

    QCOMPARE(theme.count(), 0);
    QCOMPARE(font.count(), 0);
    QCOMPARE(zoom.count(), 0);
    QCOMPARE(language.count(), 0);
    QCOMPARE(child<QComboBox>(dialog, "cbLanguage")->currentIndex(), 1);
    QCOMPARE(child<QComboBox>(dialog, "cbOpenType")->currentIndex(), 1);
    QVERIFY(child<QCheckBox>(dialog, "cbAutoSave")->isChecked());
    QCOMPARE(child<QComboBox>(dialog, "cbCssFiles")->currentText(), QStringLiteral("github-markdown-dark.css"));
    QCOMPARE(child<QSpinBox>(dialog, "SpinBoxZoom")->value(), 125);
    QCOMPARE(child<QSpinBox>(dialog, "SpinBoxFontSize")->value(), 21);
    // Showing the values wrote nothing new.
    QCOMPARE(Settings::instance().zoom(), 1.25);

    // A stored start-up option out of range shows the blank document it means and is not overwritten.
    QSettings file(Settings::instance().fileName(), QSettings::IniFormat);
    file.setValue(QStringLiteral("openType"), 7);
    dialog.loadSettings();
    QCOMPARE(child<QComboBox>(dialog, "cbOpenType")->currentIndex(), 0);
    QCOMPARE(file.value(QStringLiteral("openType")).toInt(), 7);
}

void TestSettingDialog::controlsWrite()
{
    SettingDialog dialog;
    QSignalSpy theme(&Settings::instance(), &Settings::cssFileChanged);
    QSignalSpy font(&Settings::instance(), &Settings::editorFontSizeChanged);
    QSignalSpy zoom(&Settings::instance(), &Settings::zoomChanged);
    const Settings &settings = Settings::instance();

    child<QComboBox>(dialog, "cbOpenType")->setCurrentIndex(1);
    QCOMPARE(settings.startupDocument(), Settings::StartupDocument::MostRecent);
    child<QComboBox>(dialog, "cbSaveImageType")->setCurrentIndex(1);
    QCOMPARE(settings.imageHandling(), Settings::ImageHandling::CopyToAssets);
    child<QCheckBox>(dialog, "cbAutoSave")->click();
    QCOMPARE(settings.autoBackup(), true);
    child<QCheckBox>(dialog, "cbAutoSave")->click();
    QCOMPARE(settings.autoBackup(), false);

    QComboBox *css = child<QComboBox>(dialog, "cbCssFiles");
    css->setCurrentIndex(css->findText(QStringLiteral("github-markdown-dark.css")));
    QCOMPARE(settings.cssFile(), QStringLiteral("github-markdown-dark.css"));
    QCOMPARE(theme.count(), 1);
    // Following the palette again forgets the choice.
    css->setCurrentIndex(0);
    QCOMPARE(settings.cssFile(), QString());
    QVERIFY(!QSettings(settings.fileName(), QSettings::IniFormat).contains(QStringLiteral("cssfile")));
    QCOMPARE(theme.count(), 2);

    child<QSpinBox>(dialog, "SpinBoxZoom")->setValue(150);
    QCOMPARE(settings.zoom(), 1.5);
    QCOMPARE(zoom.count(), 1);
    QCOMPARE(zoom.first().first().toDouble(), 1.5);

    child<QSpinBox>(dialog, "SpinBoxFontSize")->setValue(20);
    QCOMPARE(settings.editorFontSize(), 20);
    QCOMPARE(font.count(), 1);
    QCOMPARE(font.first().first().toInt(), 20);
}

void TestSettingDialog::themeListOffersEveryFile()
{
    extraTheme = Themes::folder() + QStringLiteral("/zz-test-notes.txt");
    QVERIFY(GuiTest::writeFile(extraTheme, "not a style sheet"));
    QVERIFY(QDir().mkpath(Themes::folder() + QStringLiteral("/zz-test-folder")));
    SettingDialog dialog;
    QDir(Themes::folder()).rmdir(QStringLiteral("zz-test-folder"));
    QComboBox *css = child<QComboBox>(dialog, "cbCssFiles");
    QStringList items;
    for (int i = 0; i < css->count(); ++i)
        items << css->itemText(i);
    QVERIFY(items.contains(QStringLiteral("zz-test-notes.txt")));
    QVERIFY(!items.contains(QStringLiteral("zz-test-folder")));
    QCOMPARE(items.indexOf(QStringLiteral("github-markdown-dark.css")) + 1,
             items.indexOf(QStringLiteral("github-markdown-light.css")));

    // A stored theme that is gone: the first entry shows, the stored name stays.
    Settings::instance().setCssFile(QStringLiteral("removed.css"));
    QSignalSpy theme(&Settings::instance(), &Settings::cssFileChanged);
    dialog.loadThemeList();
    QCOMPARE(css->currentIndex(), 0);
    QCOMPARE(Settings::instance().cssFile(), QStringLiteral("removed.css"));
    QCOMPARE(theme.count(), 0);
}

void TestSettingDialog::themeStaysInItsFolder_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("used"); // the file name in the themes folder
    QTest::newRow("a theme") << "github-markdown-dark.css" << "github-markdown-dark.css";
    QTest::newRow("missing theme") << "removed.css" << "removed.css";
    QTest::newRow("climbs out") << "../../../../../../../../../../SECRET" << "github-markdown-light.css";
    QTest::newRow("absolute path") << "SECRET" << "github-markdown-light.css";
    QTest::newRow("link out of the folder") << "zz-test-link.css" << "github-markdown-light.css";
    QTest::newRow("the folder itself") << ".." << "github-markdown-light.css";
}

void TestSettingDialog::themeStaysInItsFolder()
{
    QFETCH(QString, setting);
    QFETCH(QString, used);
    const QString secret = home->filePath(QStringLiteral("secret.txt"));
    QVERIFY(GuiTest::writeFile(secret, "password=hunter2"));
    extraTheme = Themes::folder() + QStringLiteral("/zz-test-link.css");
    QFile::remove(extraTheme);
    QVERIFY(QFile::link(secret, extraTheme));
    if (setting.endsWith(QLatin1String("SECRET")))
        setting.replace(QStringLiteral("SECRET"), setting.startsWith(QLatin1Char('.')) ? secret.mid(1) : secret);

    Settings::instance().setCssFile(setting);
    QCOMPARE(Themes::currentPath(), Themes::folder() + QLatin1Char('/') + used);
    QVERIFY(!Themes::currentCss().contains(QStringLiteral("hunter2")));
}

void TestSettingDialog::sheetFollowsPaletteUnlessChosen_data()
{
    QTest::addColumn<QString>("stored"); // "cssfile" in the file, "-" for none
    QTest::addColumn<int>("palette");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("print");
    QTest::addColumn<QString>("code");
    const QString light = QStringLiteral("github-markdown-light.css");
    const QString dark = QStringLiteral("github-markdown-dark.css");
    QTest::newRow("nothing chosen, light") << "-" << 0 << light << light << "default";
    QTest::newRow("nothing chosen, dark") << "-" << 1 << dark << light << "nord";
    QTest::newRow("nothing chosen, the style's palette") << "-" << 2 << light << light << "default";
    // A name stored by an earlier version was chosen in the dialog, and still wins.
    QTest::newRow("light chosen, dark palette") << light << 1 << light << light << "default";
    QTest::newRow("dark chosen, light palette") << dark << 0 << dark << dark << "nord";
    QTest::newRow("a path is no choice") << "../" + dark << 1 << dark << light << "nord";
}

void TestSettingDialog::sheetFollowsPaletteUnlessChosen()
{
    QFETCH(QString, stored);
    QFETCH(int, palette);
    QFETCH(QString, screen);
    QFETCH(QString, print);
    QFETCH(QString, code);
    // As a file written by this or an earlier version holds them.
    QSettings file(Settings::instance().fileName(), QSettings::IniFormat);
    if (stored != QLatin1String("-"))
        file.setValue(QStringLiteral("cssfile"), stored);
    file.setValue(QStringLiteral("theme"), palette);

    QCOMPARE(Themes::currentPath(), Themes::folder() + QLatin1Char('/') + screen);
    QCOMPARE(Themes::printPath(), Themes::folder() + QLatin1Char('/') + print);
    QCOMPARE(Themes::codeTheme(Themes::currentPath()), code);
    SettingDialog dialog;
    QCOMPARE(child<QComboBox>(dialog, "cbCssFiles")->currentIndex() == 0, stored == QLatin1String("-") || stored.contains(QLatin1Char('/')));
}

void TestSettingDialog::languageSwitchesAtOnce()
{
    SettingDialog dialog;
    dialog.setWindowTitle(QStringLiteral("设置"));
    QComboBox *language = child<QComboBox>(dialog, "cbLanguage");
    QVERIFY(QMetaObject::invokeMethod(language, "activated", Q_ARG(int, 1)));
    QCOMPARE(Settings::instance().language(), Settings::Language::English);
    QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("setting"));
    // The theme list is refilled and keeps its choice; the suffix survives.
    QCOMPARE(child<QComboBox>(dialog, "cbCssFiles")->currentText(), QStringLiteral("follow the palette"));
    QCOMPARE(child<QSpinBox>(dialog, "SpinBoxZoom")->suffix(), QStringLiteral("%"));

    QVERIFY(QMetaObject::invokeMethod(language, "activated", Q_ARG(int, 0)));
    QCOMPARE(Settings::instance().language(), Settings::Language::Chinese);
    QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("设置"));
    QCOMPARE(child<QLabel>(dialog, "LabelLanguage")->text(), QStringLiteral("语言"));
}

void TestSettingDialog::legacyFileIsReadOnce()
{
    // The process's store is in the configuration folder, not the working directory.
    QCOMPARE(Settings::instance().fileName(),
             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/app.ini"));
    QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral("app.ini"))));

    QTemporaryDir dir;
    const QString legacy = dir.filePath(QStringLiteral("old/app.ini"));
    const QString file = dir.filePath(QStringLiteral("config/app.ini"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("old"))));
    const QByteArray legacyText = "[General]\ntheme=1\ncssfile=github-markdown-dark.css\n";
    QVERIFY(GuiTest::writeFile(legacy, legacyText));
    {
        Settings settings(file, legacy);
        QCOMPARE(settings.theme(), Settings::Theme::Dark);
        QCOMPARE(settings.cssFile(), QStringLiteral("github-markdown-dark.css"));
        QCOMPARE(settings.zoom(), 1.0);
        QSignalSpy changed(&settings, &Settings::themeChanged);
        settings.setTheme(Settings::Theme::Light);
        settings.setTheme(Settings::Theme::Light);
        QCOMPARE(changed.count(), 1);
    }
    QCOMPARE(GuiTest::readFile(legacy), legacyText);
    // Once the store exists, the legacy file is not read again.
    QVERIFY(GuiTest::writeFile(legacy, "[General]\ntheme=1\nzoom=2\n"));
    Settings again(file, legacy);
    QCOMPARE(again.theme(), Settings::Theme::Light);
    QCOMPARE(again.zoom(), 1.0);
}

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
