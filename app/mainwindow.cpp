#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/aboutdialog.h"
#include "settings/settings.h"
#include "settings/themes.h"
#include "app/dialoglicense.h"
#include "app/exporthtml.h"
#include "app/fileassociation.h"
#include "app/messagebox.h"
#include "backup/backupmanage.h"
#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "editor/findreplacebar.h"
#include "editor/highlighter.h"
#include "editor/imagedialog.h"
#include "editor/imagestore.h"
#include "editor/mimepayload.h"
#include "editor/textcommands.h"
#include "settings/settingdialog.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QStatusBar>
#include <QTextCodec>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

const int kMessageTimeout = 3000;
const double kZoomStep = 0.05;
const double kZoomMin = 0.25;
const double kZoomMax = 5.0;

const QString kVendorSite = QStringLiteral("https://veltrane.example");

// Text safe to place between single quotes in a page statement.
QString jsQuoted(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return text;
}

struct Glyph
{
    QAction *Ui::MainWindow::*action;
    ushort codePoint;
};

const Glyph kToolBarGlyphs[] = {
    {&Ui::MainWindow::actionBold, 0xF032},        {&Ui::MainWindow::actionItalic, 0xF033},
    {&Ui::MainWindow::actionOrderLine, 0xF0CB},   {&Ui::MainWindow::actionUnOrderLine, 0xF03A},
    {&Ui::MainWindow::actionQuot, 0xF10D},        {&Ui::MainWindow::actionCode, 0xF0C8},
    {&Ui::MainWindow::actionCodeBlock, 0xF121},   {&Ui::MainWindow::actionHoriLine, 0xF2D1},
    {&Ui::MainWindow::actionLink, 0xF0C1},        {&Ui::MainWindow::actionImage, 0xF1C5},
    {&Ui::MainWindow::actionClear, 0xF12D},       {&Ui::MainWindow::actionStrike, 0xF0CC},
    {&Ui::MainWindow::actionTable, 0xF0CE},       {&Ui::MainWindow::actionUnlink, 0xF127},
    {&Ui::MainWindow::actionNewToolBar, 0xF016},  {&Ui::MainWindow::actionSaveToolBar, 0xF0C7},
    {&Ui::MainWindow::actionUndoToolBar, 0xF0E2}, {&Ui::MainWindow::actionRedoToolBar, 0xF01E},
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , titleFormat(QStringLiteral("%2%1 %3"))
    , printer(QPrinter::ScreenResolution)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/resources/logo.png")));
    ui->stackedWidget->setCurrentIndex(0);
    ui->horizontalLayout->setContentsMargins(0, 0, 0, 0);
    ui->horizontalLayout_2->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(ui->stackedWidget);

    settingDialog = new SettingDialog(this);
    settingDialog->setWindowTitle(tr("设置"));

    recentMenu = new QMenu(tr("最近打开"), this);
    ui->menuFile->addMenu(recentMenu);

    setupThemeMenu();

    ui->webView->setAcceptDrops(true);
    setAcceptDrops(false);
    setAttribute(Qt::WA_MouseTracking);

    setEditorFontSize(Settings::instance().editorFontSize());

    channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("content"), &content);
    ui->webView->page()->setWebChannel(channel);
    ui->webView->page()->profile()->clearHttpCache();
    ui->webView->setUrl(QUrl(QStringLiteral("qrc:/resources/template.html")));
    ui->webView->setContextMenuPolicy(Qt::NoContextMenu);
    ui->webView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->webView, &QWidget::customContextMenuRequested, this, &MainWindow::showPageContextMenu);

    const int fontId = QFontDatabase::addApplicationFont(QStringLiteral(":/lib/fontawesome/fontawesome-webfont.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(fontId);
    iconFont = QFont(families.value(0, QStringLiteral("FontAwesome")), 10);

    setupStatusBar();
    setToolBarGlyphs();
    findReplaceBar = new FindReplaceBar(ui->toolBar, ui->stackedWidget, ui->editor, ui->webView, &content, this);
    findReplaceBar->setFindBarVisible(false);
    findReplaceBar->setReplaceBarVisible(false);

    rebuildRecentMenu();

    QFont editorFont(QStringLiteral("Courier"));
    editorFont.setFixedPitch(true);
    editorFont.setPointSize(10);
    ui->editor->setFont(editorFont);
    highlighter = new Highlighter(ui->editor->document(), Settings::instance().editorFontSize());

    ui->webView->setZoomFactor(Settings::instance().zoom());

    connect(&content, &Content::showInfoInStatusBarSignal, this, &MainWindow::onShowInfoInStatusBar);
    connect(&content, &Content::updateModifyStatusSignal, this, &MainWindow::updateModifyStatus);
    connect(&content, &Content::loadThemeCssSignal, this, &MainWindow::applyThemeCss);
    connect(&content, &Content::loadRecentMdSignal, this, &MainWindow::openAtStartup);
    connect(&content, &Content::webViewFocusSignal, this, &MainWindow::webViewFocus);
    connect(&content, &Content::dealLinkSignal, this, &MainWindow::dealLinkSignal);
    connect(&content, &Content::statusMessageSignal, this,
            [this](const QString &text) { statusBar()->showMessage(text, kMessageTimeout); });
    connect(settingDialog, &SettingDialog::changeCssTheme, this, &MainWindow::applyThemeCss);
    connect(settingDialog, &SettingDialog::setEditorFontSizeSignal, this, &MainWindow::setEditorFontSize);
    connect(settingDialog, &SettingDialog::zoomValueChangeSignal, ui->webView, &QWebEngineView::setZoomFactor);
    connect(ui->webView, &QWebEngineViewEx::dropEventSignal, this, &MainWindow::dropEventWebView);
    connect(ui->editor->document(), &QTextDocument::modificationChanged, this, &MainWindow::updateModifyStatus);
    connect(ui->editor, &QPlainTextEdit::cursorPositionChanged, this, &MainWindow::highlightCurrentLine);
    connect(modeButton, &QPushButton::toggled, this, &MainWindow::changeEditorWebView);

    backupStore.init();
    if (Settings::instance().autoSave()) {
        backupTimer = new QTimer(this);
        connect(backupTimer, &QTimer::timeout, this, &MainWindow::autoBackup);
        backupTimer->start(10000);
    }

    const int language = Settings::instance().language();
    if (language == 0)
        translator.load(QStringLiteral(":/chinese.qm"));
    else if (language == 1)
        translator.load(QStringLiteral(":/english.qm"));
    QCoreApplication::installTranslator(&translator);

    statusBar()->addWidget(promoLabel, 1);

    registerFileAssociation(QCoreApplication::applicationFilePath().replace(QLatin1Char('/'), QLatin1Char('\\')),
                            QStringLiteral("file1"), QStringLiteral(".md"), QStringLiteral("markdown"));
}

MainWindow::~MainWindow()
{
    QCoreApplication::removeTranslator(&translator);
    delete ui;
}

void MainWindow::setStartupFilePath(const QString &path)
{
    currentFilePath = path;
}

void MainWindow::setPalettes(const QPalette &dark, const QPalette &light)
{
    darkPalette = dark;
    lightPalette = light;
}

bool MainWindow::isSourceMode() const
{
    return ui->stackedWidget->currentIndex() != 0;
}

void MainWindow::runScript(const QString &statement)
{
    ui->webView->page()->runJavaScript(statement);
}

// ---------------------------------------------------------------------------
// Frame: theme, status bar, glyphs, zoom, language, help

void MainWindow::setupThemeMenu()
{
    themeMenu = new QMenu(tr("主题"), this);
    lightThemeAction = themeMenu->addAction(tr("浅色"));
    darkThemeAction = themeMenu->addAction(tr("深色"));
    const int theme = Settings::instance().theme();
    for (QAction *action : {lightThemeAction, darkThemeAction}) {
        action->setCheckable(true);
        action->setVisible(true);
        connect(action, &QAction::triggered, this, &MainWindow::changeTheme);
    }
    lightThemeAction->setChecked(theme == 0);
    darkThemeAction->setChecked(theme == 1);
    ui->menuOptions->addMenu(themeMenu);
}

void MainWindow::changeTheme()
{
    auto *action = qobject_cast<QAction *>(sender());
    lightThemeAction->setCheckable(true);
    darkThemeAction->setCheckable(true);
    lightThemeAction->setChecked(false);
    darkThemeAction->setChecked(false);

    QPalette palette;
    int theme = 0;
    const QString text = action ? action->text() : QString();
    if (text == tr("浅色")) {
        lightThemeAction->setChecked(true);
        palette = lightPalette;
    } else if (text == tr("深色")) {
        darkThemeAction->setChecked(true);
        palette = darkPalette;
        theme = 1;
    }
    Settings::instance().setTheme(theme);
    QApplication::setPalette(palette);
    modeButton->setPalette(palette);
    wordCountLabel->setPalette(palette);
    ui->editor->setPalette(palette);
}

void MainWindow::applyThemeCss()
{
    const QString path = Themes::currentPath();
    // The page lives in the resource scheme: only a file URL reaches a file on disk.
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    runScript(QStringLiteral("document.getElementById('themecss').href='%1';").arg(jsQuoted(url)));
}

void MainWindow::setupStatusBar()
{
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item {border: 0px}"));

    modeButton = new QPushButton(this);
    modeButton->setFont(iconFont);
    modeButton->setFixedWidth(40);
    modeButton->setCheckable(true);
    modeButton->setChecked(false);
    modeButton->setToolTip(tr("切换源码模式"));
    modeButton->setText(QString(QChar(0xF121)));
    statusBar()->addWidget(modeButton);

    const QString target = kVendorSite + QStringLiteral("/weixin.html");
    promoLinks.insert(target, QString(QChar(0xF028)) + QStringLiteral("京东优惠券"));
    promoLabel = new QLabel(this);
    promoLabel->setFont(iconFont);
    promoLabel->setText(QStringLiteral("<a style=\"color:rgb(110,160,210);text-decoration:none;\" href=\"%1\">%2</a>")
                            .arg(promoLinks.firstKey(), promoLinks.first()));
    promoLabel->setOpenExternalLinks(true);
    promoLabel->setAlignment(Qt::AlignCenter);

    wordCountLabel = new QLabel(QStringLiteral("0 词"), this);
    statusBar()->addPermanentWidget(wordCountLabel);
}

void MainWindow::setToolBarGlyphs()
{
    for (const Glyph &glyph : kToolBarGlyphs) {
        QAction *action = ui->*glyph.action;
        action->setFont(iconFont);
        action->setText(QString(QChar(glyph.codePoint)));
    }
}

void MainWindow::onShowInfoInStatusBar(QString text)
{
    wordCountLabel->setText(text + tr(" 词"));
}

void MainWindow::setEditorFontSize(int fontSize)
{
    ui->editor->setStyleSheet(QStringLiteral("QPlainTextEdit{font-size: %1px;}").arg(fontSize));
}

void MainWindow::setZoom(double factor, const QString &shown)
{
    ui->webView->setZoomFactor(factor);
    statusBar()->showMessage(tr("缩放比例%1%").arg(shown), kMessageTimeout);
}

void MainWindow::on_actionZoomIn_triggered()
{
    const double factor = qMin(ui->webView->zoomFactor() + kZoomStep, kZoomMax);
    Settings::instance().setZoom(factor);
    setZoom(factor, QString::number(factor * 100, 'g', 6));
}

void MainWindow::on_actionZoomOut_triggered()
{
    const double factor = qMax(ui->webView->zoomFactor() - kZoomStep, kZoomMin);
    Settings::instance().setZoom(factor);
    setZoom(factor, QString::number(factor * 100, 'g', 6));
}

void MainWindow::on_actionDefaultZoom_triggered()
{
    Settings::instance().setZoom(1);
    setZoom(1.0, QStringLiteral("100"));
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (ui->webView->hasFocus() && !event->isAutoRepeat()
        && event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_V) {
        statusBar()->showMessage(QStringLiteral("粘贴操作"), kMessageTimeout);
        on_actionPaste_triggered();
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateExtras();
        setToolBarGlyphs();
    }
}

void MainWindow::retranslateExtras()
{
    if (themeMenu) {
        themeMenu->setTitle(tr("主题"));
        lightThemeAction->setText(tr("浅色"));
        darkThemeAction->setText(tr("深色"));
    }
    if (recentMenu)
        recentMenu->setTitle(tr("最近打开"));
    if (settingDialog)
        settingDialog->setWindowTitle(tr("设置"));
    if (modeButton)
        modeButton->setToolTip(isSourceMode() ? tr("切换可见即可得模式") : tr("切换源码模式"));
    if (findReplaceBar)
        findReplaceBar->retranslate();
}

void MainWindow::on_actionHelp_triggered()
{
    QDesktopServices::openUrl(QUrl(kVendorSite + QStringLiteral("/%1/help.html").arg(QCoreApplication::applicationName())));
}

void MainWindow::on_actionWhatsNew_triggered()
{
    QDesktopServices::openUrl(QUrl(kVendorSite + QStringLiteral("/%1/updatelog.html").arg(QCoreApplication::applicationName())));
}

void MainWindow::on_actionDonate_triggered()
{
    QDesktopServices::openUrl(QUrl(kVendorSite + QStringLiteral("/Donate.html")));
}

void MainWindow::on_actionFeedback_triggered()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:feedback@veltrane.example?subject=反馈给我们&body=")));
}

void MainWindow::on_actionAbout_triggered()
{
    auto *dialog = new aboutDialog;
    dialog->setWindowIcon(windowIcon());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("关于我们"));
    dialog->exec();
}

void MainWindow::on_actionLicenses_triggered()
{
    auto *dialog = new DialogLicense;
    dialog->setWindowIcon(windowIcon());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Licenses"));
    dialog->exec();
}

void MainWindow::on_actionSetting_triggered()
{
    settingDialog->loadSettings();
    settingDialog->exec();
}

void MainWindow::on_actionBackup_triggered()
{
    BackupManage manager(nullptr);
    manager.exec();
}

// ---------------------------------------------------------------------------
// Start-up

void MainWindow::openAtStartup()
{
    if (restoreBackupOnStartup())
        return;
    if (!currentFilePath.isEmpty()) {
        openFile(currentFilePath);
        return;
    }
    if (Settings::instance().openType() == 1 && !recentActions.isEmpty())
        openFile(recentActions.first()->data().toString());
}

// ---------------------------------------------------------------------------
// Documents

bool MainWindow::confirmDiscard()
{
    if (!isModified)
        return true;
    return showMessageBox(QMessageBox::Information, tr("提示"), tr("当前文件还没保存，是否放弃？"),
                          MessageBoxYesNo) == QMessageBox::Yes;
}

void MainWindow::updateWindowTitle()
{
    setWindowTitle(titleFormat.arg(isModified ? QStringLiteral("*") : QString())
                       .arg(currentFileName.isEmpty() ? tr("[未保存]") : currentFileName)
                       .arg(QStringLiteral(" -  ") + QCoreApplication::applicationName()));
}

void MainWindow::updateModifyStatus(bool status)
{
    isModified = status;
    backupStore.pending = status;
    updateWindowTitle();
}

void MainWindow::on_actionNew_triggered()
{
    if (!confirmDiscard())
        return;
    currentFilePath.clear();
    currentFileName.clear();
    pushHtml(QString());
    ui->editor->setPlainText(QString());
    isModified = false;
    updateWindowTitle();
    ui->editor->document()->setModified(false);
}

void MainWindow::on_actionOpen_triggered()
{
    if (!confirmDiscard())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("打开Markdown文件"), QString(),
                                                      tr("MarkDown文件 (*.md)"));
    if (!path.isEmpty())
        openFile(path);
}

void MainWindow::openFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        showMessageBox(QMessageBox::Warning, tr("提示"),
                       tr("不能打开文件 %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()),
                       MessageBoxUnderstood);
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    QTextStream in(bytes);
    in.setCodec("UTF-8");
    const QString text = in.readAll();

    currentFilePath = path;
    isModified = false;
    currentFileName = QFileInfo(path).fileName();
    pushMarkdown(text);
    updateWindowTitle();
    addRecentFile(path);
    rebuildRecentMenu();

    // Bytes that are not UTF-8 cannot survive a save unchanged: say so before the user edits.
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0) {
        showMessageBox(QMessageBox::Warning, tr("提示"),
                       tr("文件 %1 不是有效的 UTF-8 文本，无效的字节已被替换；保存时将以 UTF-8 存储。")
                           .arg(QDir::toNativeSeparators(path)),
                       MessageBoxUnderstood);
    }
}

void MainWindow::on_actionSave_triggered()
{
    saveDocument();
}

bool MainWindow::saveDocument()
{
    if (currentFilePath.isEmpty()) {
        const QString path = QFileDialog::getSaveFileName(this, tr("保存MarkDown文件"), QString(),
                                                          tr("MarkDown File (*.md)"));
        if (path.isEmpty())
            return false;
        currentFileName = QFileInfo(path).fileName();
        isModified = false;
        currentFilePath = path;
        updateWindowTitle();
        emit content.documentFolderSignal(documentFolderUrl());
        return saveDocument();
    }

    // The mark is cleared before the text is pulled, so that typing during a
    // save marks the document modified again.
    isModified = false;
    updateWindowTitle();
    ui->editor->document()->setModified(false);
    pullMarkdown([this](bool ok, const QString &markdown) {
        if (!ok) {
            updateModifyStatus(true);
            showMessageBox(QMessageBox::Warning, tr("提示"),
                           tr("不能保存文件 %1: %2").arg(QDir::toNativeSeparators(currentFilePath),
                                                    tr("编辑页面没有返回内容")),
                           MessageBoxUnderstood);
            return;
        }
        saveToFile(markdown);
    });
    return true;
}

void MainWindow::on_actionSaveAs_triggered()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("保存MarkDown文件"), QString(),
                                                      tr("MarkDown File (*.md)"));
    if (path.isEmpty())
        return;
    currentFileName = QFileInfo(path).fileName();
    isModified = false;
    currentFilePath = path;
    updateWindowTitle();
    emit content.documentFolderSignal(documentFolderUrl());
    saveDocument();
}

void MainWindow::saveToFile(QString markdown)
{
    QString error;
    if (!writeTextFile(currentFilePath, markdown, &error)) {
        // Nothing was written: the document keeps its unsaved mark and its backup.
        if (isSourceMode())
            ui->editor->document()->setModified(true);
        updateModifyStatus(true);
        showMessageBox(QMessageBox::Warning, tr("提示"),
                       tr("不能保存文件 %1: %2").arg(QDir::toNativeSeparators(currentFilePath), error),
                       MessageBoxUnderstood);
        return;
    }
    addRecentFile(currentFilePath);
    rebuildRecentMenu();
    deleteBackup(backupStore.filePath);
    statusBar()->showMessage(tr("保存成功"), kMessageTimeout);
}

void MainWindow::on_actionExit_triggered()
{
    // closeEvent asks about unsaved changes, whichever way the window is closed.
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (confirmDiscard())
        event->accept();
    else
        event->ignore();
}

void MainWindow::on_actionNewWindow_triggered()
{
    QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList());
}

void MainWindow::addRecentFile(const QString &path)
{
    QStringList list = Settings::instance().recentFiles();
    list.removeOne(path);
    list.insert(0, path);
    while (list.size() > 5)
        list.removeLast();
    Settings::instance().setRecentFiles(list);
}

void MainWindow::rebuildRecentMenu()
{
    const QStringList list = Settings::instance().recentFiles();
    recentMenu->clear();
    recentActions.clear();
    // The list is kept at five; a hand-edited longer list shows its first five.
    for (const QString &path : list.mid(0, 5)) {
        auto *action = new QAction(path, recentMenu);
        action->setData(path);
        action->setVisible(true);
        connect(action, &QAction::triggered, this, &MainWindow::openRecentFile);
        recentActions.append(action);
        recentMenu->addAction(action);
    }
}

void MainWindow::openRecentFile()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action || !confirmDiscard())
        return;
    openFile(action->data().toString());
}

void MainWindow::registerFileAssociation(const QString &exePath, const QString &progId,
                                         const QString &extension, const QString &typeName)
{
#ifdef Q_OS_WIN
    QSettings registry(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    for (const auto &entry : fileAssociationEntries(exePath, progId, extension, typeName))
        registry.setValue(entry.first, entry.second);
    registry.sync();
#else
    // Elsewhere the desktop entry installed with the program declares the type.
    Q_UNUSED(exePath)
    Q_UNUSED(progId)
    Q_UNUSED(extension)
    Q_UNUSED(typeName)
#endif
}

// ---------------------------------------------------------------------------
// Modes

void MainWindow::setModeButtonState(bool sourceMode)
{
    modeButton->setToolTip(sourceMode ? tr("切换可见即可得模式") : tr("切换源码模式"));
    modeButton->setText(QString(QChar(sourceMode ? 0xF1EA : 0xF121)));
    wordCountLabel->setVisible(!sourceMode);
    ui->menuExport->setEnabled(!sourceMode);
    ui->menuExport->menuAction()->setEnabled(!sourceMode);
    ui->actionHTML->setEnabled(!sourceMode);
    ui->actionPDF->setEnabled(!sourceMode);
    ui->actionWordDocx->setEnabled(!sourceMode);
    ui->actionPrint->setEnabled(!sourceMode);
    ui->actionClear->setEnabled(!sourceMode);
    ui->actionUnlink->setEnabled(!sourceMode);
}

void MainWindow::changeEditorWebView(bool checked)
{
    ui->stackedWidget->setCurrentIndex(checked ? 1 : 0);
    setModeButtonState(checked);

    if (!checked) {
        pushHtml(markdownToHtml(ui->editor->toPlainText()));
        return;
    }
    // The stack already shows the editor: the document still lives in the page.
    pullPageMarkdown([this](bool ok, const QString &markdown) {
        if (ok) {
            setEditorText(markdown);
            return;
        }
        // Without an answer from the page there is nothing to show: stay where
        // the document is rather than show an empty editor.
        const QSignalBlocker blocker(modeButton);
        modeButton->setChecked(false);
        ui->stackedWidget->setCurrentIndex(0);
        setModeButtonState(false);
        statusBar()->showMessage(tr("编辑页面没有返回内容，无法切换到源码模式"), kMessageTimeout);
    });
}

void MainWindow::setEditorText(const QString &text)
{
    disconnect(ui->editor->document(), &QTextDocument::modificationChanged, this, &MainWindow::updateModifyStatus);
    ui->editor->setPlainText(text);
    ui->editor->document()->setModified(isModified);
    connect(ui->editor->document(), &QTextDocument::modificationChanged, this, &MainWindow::updateModifyStatus);
}

void MainWindow::pushMarkdown(const QString &markdown)
{
    if (isSourceMode())
        setEditorText(markdown);
    else
        pushHtml(markdownToHtml(markdown));
}

QString MainWindow::documentFolderUrl() const
{
    return currentFilePath.isEmpty()
        ? QString()
        : QUrl::fromLocalFile(QFileInfo(currentFilePath).absolutePath() + QLatin1Char('/')).toString();
}

void MainWindow::pushHtml(const QString &html)
{
    emit content.documentFolderSignal(documentFolderUrl());
    emit content.setHtmlSignal(html);
}

void MainWindow::pullMarkdown(const std::function<void(bool, const QString &)> &done)
{
    if (isSourceMode())
        done(true, ui->editor->toPlainText());
    else
        pullPageMarkdown(done);
}

void MainWindow::pullPageMarkdown(const std::function<void(bool, const QString &)> &done)
{
    ui->webView->page()->runJavaScript(QStringLiteral("getHtml()"), [done](const QVariant &result) {
        if (result.type() != QVariant::String) {
            done(false, QString());
            return;
        }
        done(true, htmlToMarkdown(result.toString()));
    });
}

void MainWindow::highlightCurrentLine()
{
    ui->editor->setExtraSelections(currentLineSelections(ui->editor));
}

// ---------------------------------------------------------------------------
// Page context menu

void MainWindow::showPageContextMenu(const QPoint &pos)
{
    // The page works in CSS pixels: undo the zoom.
    const double zoom = ui->webView->zoomFactor();
    const int x = qRound(pos.x() / zoom);
    const int y = qRound(pos.y() / zoom);
    ui->webView->page()->runJavaScript(
        QStringLiteral("GetElementFromPoint(%1,%2)").arg(x).arg(y), [this, x, y](const QVariant &result) {
            const QString ancestors = result.toString();
            qDebug() << ancestors;

            QMenu menu(this);
            menu.addAction(ui->actionUndo);
            menu.addAction(ui->actionRedo);
            menu.addSeparator();
            menu.addAction(ui->actionCut);
            menu.addAction(ui->actionCopy);
            menu.addAction(ui->actionPaste);
            menu.addAction(ui->actionDel);
            menu.addAction(ui->actionSelectAll);
            menu.addSeparator();

            auto addStatement = [this, x, y](QMenu *target, const QString &text, const QString &statement) {
                QAction *action = target->addAction(text);
                const QString script = statement.arg(x).arg(y);
                connect(action, &QAction::triggered, this, [this, script] { runScript(script); });
            };

            if (ancestors.contains(QLatin1String("TEXTAREA"))) {
                QMenu *languages = menu.addMenu(tr("代码块语言"));
                languages->setLayoutDirection(Qt::LeftToRight);
                addStatement(languages, tr("默认"), QStringLiteral("setCodeBlockModeAt(%1,%2,'')"));
                addStatement(languages, QStringLiteral("C++"), QStringLiteral("setCodeBlockModeAt(%1,%2,'text/x-c++src')"));
            } else if (ancestors.contains(QLatin1String("TABLE"))) {
                QMenu *table = menu.addMenu(tr("表格"));
                table->setLayoutDirection(Qt::LeftToRight);
                addStatement(table, tr("上方插入行"), QStringLiteral("insertTableRow(%1,%2,'above')"));
                addStatement(table, tr("下方插入行"), QStringLiteral("insertTableRow(%1,%2,'below')"));
                addStatement(table, tr("左边插入列"), QStringLiteral("insertTableColumn(%1,%2,'left')"));
                addStatement(table, tr("右边插入列"), QStringLiteral("insertTableColumn(%1,%2,'right')"));
                addStatement(table, tr("删除当前行"), QStringLiteral("deleteRow(%1,%2)"));
                addStatement(table, tr("删除当前列"), QStringLiteral("deleteColumn(%1,%2)"));
                addStatement(table, tr("上移当前行"), QStringLiteral("shiftRow(%1,%2,'up')"));
                addStatement(table, tr("下移当前行"), QStringLiteral("shiftRow(%1,%2,'down')"));
                addStatement(table, tr("左移当前列"), QStringLiteral("shiftColumn(%1,%2,'left')"));
                addStatement(table, tr("右移当前列"), QStringLiteral("shiftColumn(%1,%2,'right')"));
                addStatement(table, tr("左对齐当前列"), QStringLiteral("alignColumn(%1,%2,'left')"));
                addStatement(table, tr("居中对齐当前列"), QStringLiteral("alignColumn(%1,%2,'center')"));
                addStatement(table, tr("右对齐当前列"), QStringLiteral("alignColumn(%1,%2,'right')"));
                addStatement(table, tr("删除表格"), QStringLiteral("deleteTable(%1,%2)"));
            } else {
                connect(menu.addAction(tr("表格")), &QAction::triggered, this, &MainWindow::openTableDialog);
                connect(menu.addAction(tr("代码块")), &QAction::triggered, this, &MainWindow::on_actionCodeBlock_triggered);
            }
            connect(menu.addAction(tr("链接")), &QAction::triggered, this, &MainWindow::on_actionLink_triggered);
            connect(menu.addAction(tr("图片")), &QAction::triggered, this, &MainWindow::on_actionImage_triggered);
            menu.exec(QCursor::pos());
        });
}

// ---------------------------------------------------------------------------
// Formatting commands: Markdown through the editor's cursor in source mode,
// one page statement in WYSIWYG mode.

void MainWindow::on_actionBold_triggered()
{
    if (isSourceMode())
        TextCommands::wrapSelection(ui->editor, QStringLiteral("**"));
    else
        runScript(QStringLiteral("document.execCommand('bold')"));
}

void MainWindow::on_actionItalic_triggered()
{
    if (isSourceMode())
        TextCommands::wrapSelection(ui->editor, QStringLiteral("*"));
    else
        runScript(QStringLiteral("document.execCommand('italic')"));
}

void MainWindow::on_actionStrike_triggered()
{
    if (isSourceMode())
        TextCommands::wrapSelection(ui->editor, QStringLiteral("~~"));
    else
        runScript(QStringLiteral("document.execCommand('strikeThrough')"));
}

void MainWindow::on_actionCode_triggered()
{
    if (isSourceMode())
        TextCommands::wrapSelection(ui->editor, QStringLiteral("`"));
    else
        runScript(QStringLiteral("inserCode();"));
}

#define HEADING_SLOT(level)                                                                        \
    void MainWindow::on_actionH##level##_triggered()                                               \
    {                                                                                              \
        if (isSourceMode())                                                                        \
            TextCommands::prefixCurrentLine(ui->editor, QString(level, QLatin1Char('#')) + QLatin1Char(' ')); \
        else                                                                                       \
            runScript(QStringLiteral("document.execCommand('formatBlock',false,'<h" #level ">')")); \
    }
HEADING_SLOT(1)
HEADING_SLOT(2)
HEADING_SLOT(3)
HEADING_SLOT(4)
HEADING_SLOT(5)
HEADING_SLOT(6)
#undef HEADING_SLOT

void MainWindow::on_actionQuot_triggered()
{
    if (isSourceMode())
        TextCommands::prefixCurrentLine(ui->editor, QStringLiteral("> "));
    else
        runScript(QStringLiteral("document.execCommand('formatBlock',false,'<blockquote>')"));
}

void MainWindow::on_actionOrderLine_triggered()
{
    if (isSourceMode())
        TextCommands::prefixSelectedLines(ui->editor, true);
    else
        runScript(QStringLiteral("document.execCommand('insertOrderedList')"));
}

void MainWindow::on_actionUnOrderLine_triggered()
{
    if (isSourceMode())
        TextCommands::prefixSelectedLines(ui->editor, false);
    else
        runScript(QStringLiteral("document.execCommand('insertUnorderedList')"));
}

void MainWindow::on_actionHoriLine_triggered()
{
    if (isSourceMode())
        TextCommands::insertHorizontalRule(ui->editor);
    else
        runScript(QStringLiteral("document.execCommand('insertHorizontalRule')"));
}

void MainWindow::on_actionCodeBlock_triggered()
{
    if (isSourceMode())
        TextCommands::insertCodeBlock(ui->editor);
    else
        runScript(QStringLiteral("insertCodeMirror();"));
}

void MainWindow::on_actionUnlink_triggered()
{
    runScript(QStringLiteral("document.execCommand('unlink')"));
}

void MainWindow::on_actionClear_triggered()
{
    runScript(QStringLiteral("document.execCommand('removeFormat')"));
}

void MainWindow::on_actionTable_triggered()
{
    openTableDialog();
}

void MainWindow::openTableDialog()
{
    tableDialog.setWindowTitle(tr("设置表格"));
    tableDialog.exec();
    const int rows = tableDialog.rowIndex + 1;
    const int columns = tableDialog.columnIndex + 1;
    if (isSourceMode())
        TextCommands::insertMarkdownTable(ui->editor, rows, columns);
    else
        runScript(QStringLiteral("insertTable(%1,%2)").arg(rows).arg(columns));
}

void MainWindow::on_actionUndo_triggered()
{
    if (isSourceMode())
        ui->editor->undo();
    else
        runScript(QStringLiteral("document.execCommand('undo')"));
}

void MainWindow::on_actionRedo_triggered()
{
    if (isSourceMode())
        ui->editor->redo();
    else
        runScript(QStringLiteral("document.execCommand('redo')"));
}

void MainWindow::on_actionUndoToolBar_triggered()
{
    ui->actionUndo->trigger();
}

void MainWindow::on_actionRedoToolBar_triggered()
{
    ui->actionRedo->trigger();
}

void MainWindow::on_actionSaveToolBar_triggered()
{
    ui->actionSave->trigger();
}

void MainWindow::on_actionNewToolBar_triggered()
{
    ui->actionNew->trigger();
}

void MainWindow::on_actionCopy_triggered()
{
    runScript(QStringLiteral("document.execCommand('copy')"));
}

void MainWindow::on_actionCut_triggered()
{
    runScript(QStringLiteral("document.execCommand('cut')"));
}

void MainWindow::on_actionPaste_triggered()
{
    insertMimeData(QApplication::clipboard()->mimeData());
}

void MainWindow::on_actionDel_triggered()
{
    if (isSourceMode())
        ui->editor->textCursor().removeSelectedText();
    else
        runScript(QStringLiteral("document.execCommand('delete')"));
}

void MainWindow::on_actionSelectAll_triggered()
{
    if (isSourceMode())
        ui->editor->selectAll();
    else
        runScript(QStringLiteral("document.execCommand('selectAll')"));
}

// ---------------------------------------------------------------------------
// Links, images, paste and drop

void MainWindow::on_actionLink_triggered()
{
    if (isSourceMode())
        content.addLink(ui->editor->textCursor().selectedText());
    else
        runScript(QStringLiteral("openLinkWin();"));
}

void MainWindow::dealLinkSignal(QJsonObject jsonData)
{
    if (isSourceMode()) {
        ui->editor->textCursor().insertText(QStringLiteral("[%1](%2)")
                                                .arg(jsonData.value(QStringLiteral("title")).toString(),
                                                     jsonData.value(QStringLiteral("url")).toString()));
    } else {
        emit content.addLinkSignal(jsonData);
    }
}

void MainWindow::on_actionImage_triggered()
{
    imageDialog = new ImageDialog(this);
    connect(imageDialog, &ImageDialog::imageChosen, this, [this](const QString &text) {
        const QString path = QDir::fromNativeSeparators(storeImage(currentFilePath, text));
        if (isSourceMode())
            ui->editor->textCursor().insertText(QStringLiteral("![图片ALT](%1)").arg(path));
        else
            emit content.insertImageSignal(path);
    });
    imageDialog->show();
}

void MainWindow::insertMimeData(const QMimeData *mimeData)
{
    if (mimeData) {
        for (const QJsonObject &payload : insertPayloads(mimeData, currentFilePath))
            emit content.dealCopySignal(payload);
    }
    ui->webView->page()->profile()->clearHttpCache();
}

void MainWindow::dropEventWebView(QDropEvent *event)
{
    insertMimeData(event->mimeData());
    event->acceptProposedAction();
}

// ---------------------------------------------------------------------------
// Find and replace

void MainWindow::on_actionFind_triggered()
{
    findReplaceBar->showFindBar(isSourceMode() ? ui->editor->textCursor().selectedText()
                                               : ui->webView->selectedText());
}

void MainWindow::on_actionReplace_triggered()
{
    findReplaceBar->showReplaceBar(isSourceMode() ? ui->editor->textCursor().selectedText()
                                                  : ui->webView->selectedText());
}

void MainWindow::webViewFocus()
{
    runScript(QStringLiteral("clearHighLight()"));
    findReplaceBar->setFindBarVisible(false);
    findReplaceBar->setReplaceBarVisible(false);
    ui->webView->findText(QString());
}

// ---------------------------------------------------------------------------
// Backups

void MainWindow::autoBackup()
{
    if (!isModified) {
        deleteBackup(backupStore.filePath);
        return;
    }
    if (!backupStore.pending)
        return;
    pullMarkdown([this](bool ok, const QString &markdown) {
        if (ok)
            backup(markdown);
    });
}

void MainWindow::backup(QString markdown)
{
    if (backupStore.write(markdown, currentFileName, currentFilePath))
        statusBar()->showMessage(QStringLiteral("备份成功"), kMessageTimeout);
}

void MainWindow::deleteBackup(const QString &path)
{
    if (backupStore.remove(path))
        statusBar()->showMessage(QStringLiteral("备份已删除"), kMessageTimeout);
}

bool MainWindow::restoreBackupOnStartup()
{
    const QFileInfoList backups = BackupStore::listForRecovery(backupStore.dir);
    if (backups.isEmpty())
        return false;
    if (showMessageBox(QMessageBox::NoIcon, tr("提示"), tr("系统检查到有未保存的备份文件，是否继续编辑？"),
                       MessageBoxYesNo) != QMessageBox::Yes)
        return false;

    const QFileInfo chosen = backups.first();
    const BackupContent restored = BackupStore::read(chosen.filePath());
    if (restored.status == BackupContent::Unreadable)
        return false;
    if (restored.status != BackupContent::Ok) {
        // The file stays for the backup manager; start-up goes on as without a backup.
        showMessageBox(QMessageBox::NoIcon, tr("提示"), tr("备份文件已损坏，请查看备份管理。"), MessageBoxUnderstood);
        return false;
    }

    isModified = true;
    // The path first, so that the page resolves the document's images against it.
    if (!restored.srcPath.isEmpty() && QFileInfo::exists(restored.srcPath)) {
        const QFileInfo source(restored.srcPath);
        currentFileName = source.fileName();
        currentFilePath = source.filePath();
    }
    pushMarkdown(restored.markdown);
    updateWindowTitle();
    backupStore.adopt(chosen.filePath());
    return true;
}

// ---------------------------------------------------------------------------
// Export and print

void MainWindow::exportThroughPage(const QString &path)
{
    const QString themeCss = Themes::currentCss();
    ui->webView->page()->toHtml([this, path, themeCss](const QString &html) {
        QString error;
        if (writeTextFile(path, makeStandaloneHtml(html, themeCss) + QLatin1Char('\n'), &error)) {
            showMessageBox(QMessageBox::NoIcon, tr("提示"), tr("导出成功"), MessageBoxUnderstood);
        } else {
            showMessageBox(QMessageBox::Warning, tr("提示"),
                           tr("不能导出文件 %1: %2").arg(QDir::toNativeSeparators(path), error),
                           MessageBoxUnderstood);
        }
    });
}

void MainWindow::on_actionHTML_triggered()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("导出HTML文件"), QString(), tr("HTML文件(*.html)"));
    if (!path.isEmpty())
        exportThroughPage(path);
}

void MainWindow::on_actionWordDocx_triggered()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("导出Word文件"), QString(), tr("Word文件(*.docx)"));
    if (!path.isEmpty())
        exportThroughPage(path);
}

void MainWindow::on_actionPDF_triggered()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("导出PDF文件"), QString(), tr("Pdf文件(*.pdf)"));
    if (path.isEmpty())
        return;
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                             QPageLayout::Point, QMarginsF(0, 0, 0, 0));
    // Success is told only once the engine has produced the document and it is on disk.
    ui->webView->page()->printToPdf([this, path](const QByteArray &pdf) {
        QString error = tr("编辑页面没有生成PDF");
        bool written = false;
        if (!pdf.isEmpty()) {
            QSaveFile file(path);
            written = file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() && file.commit();
            if (!written)
                error = file.errorString();
        }
        if (written)
            showMessageBox(QMessageBox::NoIcon, tr("提示"), tr("导出成功"), MessageBoxUnderstood);
        else
            showMessageBox(QMessageBox::Warning, tr("提示"),
                           tr("导出失败") + QStringLiteral(": %1 (%2)").arg(QDir::toNativeSeparators(path), error),
                           MessageBoxUnderstood);
    }, layout);
}

void MainWindow::on_actionPrint_triggered()
{
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->webView->page()->print(&printer, [](bool success) {
        showMessageBox(QMessageBox::Information, tr("提示"), success ? tr("打印成功") : tr("打印失败"),
                       MessageBoxUnderstood);
    });
}
