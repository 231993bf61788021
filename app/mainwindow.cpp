#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/aboutdialog.h"
#include "app/backupoffer.h"
#include "app/closewait.h"
#include "app/dialoglicense.h"
#include "app/document.h"
#include "app/exportsource.h"
#include "app/fileassociation.h"
#include "app/messagebox.h"
#include "app/savedialog.h"
#include "app/palettes.h"
#include "backup/backupmanager.h"
#include "editor/findreplacebar.h"
#include "editor/imagedialog.h"
#include "editor/imagestore.h"
#include "editor/modeswitch.h"
#include "editor/pagesurface.h"
#include "editor/pageview.h"
#include "editor/sourcesurface.h"
#include "settings/catalogue.h"
#include "settings/settingdialog.h"
#include "settings/settings.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

using exporting::Exporter;

namespace {

const int kMessageTimeout = 3000;
const double kZoomStep = 0.05;

const QString kVendorSite = QStringLiteral("https://veltrane.example");

struct Glyph
{
    QAction *Ui::MainWindow::*action;
    ushort codePoint;
};

const Glyph kToolBarGlyphs[] = {
    {&Ui::MainWindow::actionBold, 0xF032},         {&Ui::MainWindow::actionItalic, 0xF033},
    {&Ui::MainWindow::actionOrderedList, 0xF0CB},  {&Ui::MainWindow::actionBulletList, 0xF03A},
    {&Ui::MainWindow::actionQuote, 0xF10D},        {&Ui::MainWindow::actionInlineCode, 0xF0C8},
    {&Ui::MainWindow::actionCodeBlock, 0xF121},    {&Ui::MainWindow::actionHorizontalRule, 0xF2D1},
    {&Ui::MainWindow::actionLink, 0xF0C1},         {&Ui::MainWindow::actionImage, 0xF1C5},
    {&Ui::MainWindow::actionClearFormat, 0xF12D},  {&Ui::MainWindow::actionStrike, 0xF0CC},
    {&Ui::MainWindow::actionTable, 0xF0CE},        {&Ui::MainWindow::actionUnlink, 0xF127},
    {&Ui::MainWindow::actionNewToolBar, 0xF016},   {&Ui::MainWindow::actionSaveToolBar, 0xF0C7},
    {&Ui::MainWindow::actionUndoToolBar, 0xF0E2},  {&Ui::MainWindow::actionRedoToolBar, 0xF01E},
};

void openSite(const QString &path)
{
    QDesktopServices::openUrl(QUrl(kVendorSite + path));
}

// Ctrl+= zooms in too: on most keyboards "+" needs Shift. The form's texts set
// the shortcut again on every language change.
void addZoomInKey(QAction *zoomIn)
{
    zoomIn->setShortcuts({zoomIn->shortcut(), QKeySequence(QStringLiteral("Ctrl+="))});
}

void runDialog(QDialog *dialog, const QIcon &icon, const QString &title)
{
    dialog->setWindowIcon(icon);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    dialog->exec();
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    // At the printer's own resolution: the engine prints each page as a picture.
    : QMainWindow(parent), ui(new Ui::MainWindow), printer(QPrinter::HighResolution)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/resources/logo.png")));
    ui->sourceLayout->setContentsMargins(0, 0, 0, 0);
    ui->pageLayout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(ui->modeStack);
    setAcceptDrops(false);
    setAttribute(Qt::WA_MouseTracking);

    settingDialog = new SettingDialog(this);
    settingDialog->setWindowTitle(tr("设置"));
    recentMenu = new QMenu(tr("最近打开"), this);
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    ui->menuFile->addMenu(recentMenu);
    setupThemeMenu();

    const int fontId = QFontDatabase::addApplicationFont(QStringLiteral(":/lib/fontawesome/fontawesome-webfont.ttf"));
    iconFont = QFont(QFontDatabase::applicationFontFamilies(fontId).value(0, QStringLiteral("FontAwesome")), 10);
    setupStatusBar();
    setToolBarGlyphs();

    auto *source = new SourceSurface(ui->editor, this);
    auto *page = new PageSurface(ui->webView, this);
    page->view()->setZoomFactor(Settings::instance().zoom());
    connect(&Settings::instance(), &Settings::zoomChanged, page->view(), &QWebEngineView::setZoomFactor);
    connect(&Settings::instance(), &Settings::cssFileChanged, page, &PageSurface::applyTheme);
    page->setMenuActions({ui->actionUndo, ui->actionRedo, nullptr, ui->actionCut, ui->actionCopy,
                          ui->actionPaste, ui->actionDelete, ui->actionSelectAll, nullptr});
    modeSwitch = new ModeSwitch(ui->modeStack, source, page, modeButton, this);
    // Word and OpenDocument are written from the Markdown, so they work in both modes.
    for (QAction *action : {ui->actionHTML, ui->actionPDF, ui->actionPrint, ui->actionClearFormat, ui->actionUnlink})
        modeSwitch->addPageOnly(action);
    modeSwitch->addPageOnly(wordCountLabel);
    findBar = new FindReplaceBar(ui->toolBar, modeSwitch->current(), this);
    doc = new Document(modeSwitch->current(), this);
    exporter = new Exporter(std::make_unique<SurfaceExportSource>(modeSwitch, &printer), this);
    closeWait = new CloseWait(this, [page] { return page->isBusy(); });

    connect(modeSwitch, &ModeSwitch::surfaceChanged, findBar, &FindReplaceBar::setSurface);
    connect(modeSwitch, &ModeSwitch::surfaceChanged, doc, &Document::setSurface);
    connect(modeSwitch, &ModeSwitch::switchFailed, this, &MainWindow::showStatus);
    doc->follow(source);
    doc->follow(page);
    connect(page, &PageSurface::documentRequested, this, &MainWindow::openAtStartup);
    connect(page, &PageSurface::wordCountChanged, this, &MainWindow::showWordCount);
    for (EditingSurface *surface : {static_cast<EditingSurface *>(source), static_cast<EditingSurface *>(page)}) {
        connect(surface, &EditingSurface::statusMessage, this, &MainWindow::showStatus);
        // Queued: the question and the save dialog run outside the key or drop handler that asked.
        connect(surface, &EditingSurface::savedDocumentNeeded, this, &MainWindow::saveThenPaste, Qt::QueuedConnection);
    }
    connect(page, &PageSurface::focused, findBar, &FindReplaceBar::hideBars);
    connect(page, &PageSurface::settled, closeWait, &CloseWait::settled);
    connect(page, &PageSurface::tableRequested, this, &MainWindow::insertTable);
    connect(page, &PageSurface::imageRequested, this, &MainWindow::insertImage);
    connect(doc, &Document::titleChanged, this, &QWidget::setWindowTitle);
    connect(doc, &Document::pathChanged, page, &PageSurface::setDocumentPath);
    connect(doc, &Document::pathChanged, source, &SourceSurface::setDocumentPath);
    connect(doc, &Document::pathChanged, exporter, &Exporter::setDocumentPath);
    connect(doc, &Document::recentFilesChanged, this, &MainWindow::rebuildRecentMenu);
    connect(doc, &Document::saved, this, [this] { showStatus(tr("保存成功")); });
    connect(doc, &Document::failed, this, &MainWindow::warn);
    connect(doc, &Document::message, this, &MainWindow::showStatus);
    connect(doc, &Document::notice, this, &MainWindow::showNotice);
    doc->setConflictResolver([this](const QString &path) { return askKeepMineOnConflict(this, path); });
    connect(exporter, &Exporter::exported, this, &MainWindow::showExported);
    connect(exporter, &Exporter::failed, this, &MainWindow::warn);
    connectActions();
    rebuildRecentMenu(doc->recentFiles());
    Catalogue::followSetting();

    registerFileAssociation(QCoreApplication::applicationFilePath().replace(QLatin1Char('/'), QLatin1Char('\\')),
                            QStringLiteral("file1"), QStringLiteral(".md"), QStringLiteral("markdown"));
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::connectActions()
{
    ModeSwitch *m = modeSwitch;
    m->bind(ui->actionBold, &EditingSurface::bold);
    m->bind(ui->actionItalic, &EditingSurface::italic);
    m->bind(ui->actionStrike, &EditingSurface::strike);
    m->bind(ui->actionInlineCode, &EditingSurface::inlineCode);
    m->bind(ui->actionQuote, &EditingSurface::quote);
    m->bind(ui->actionOrderedList, &EditingSurface::orderedList);
    m->bind(ui->actionBulletList, &EditingSurface::bulletList);
    m->bind(ui->actionHorizontalRule, &EditingSurface::rule);
    m->bind(ui->actionCodeBlock, &EditingSurface::codeBlock);
    m->bind(ui->actionLink, &EditingSurface::link);
    m->bind(ui->actionClearFormat, &EditingSurface::clearFormat);
    m->bind(ui->actionUnlink, &EditingSurface::unlink);
    m->bind(ui->actionUndo, &EditingSurface::undo);
    m->bind(ui->actionRedo, &EditingSurface::redo);
    m->bind(ui->actionCut, &EditingSurface::cut);
    m->bind(ui->actionCopy, &EditingSurface::copy);
    m->bind(ui->actionPaste, &EditingSurface::paste);
    m->bind(ui->actionDelete, &EditingSurface::deleteSelection);
    m->bind(ui->actionSelectAll, &EditingSurface::selectAll);
    const QList<QAction *> headings{ui->actionH1, ui->actionH2, ui->actionH3, ui->actionH4, ui->actionH5, ui->actionH6};
    for (int level = 1; level <= headings.size(); ++level)
        connect(headings[level - 1], &QAction::triggered, m, [m, level] { m->current()->heading(level); });
    connect(ui->actionTable, &QAction::triggered, this, &MainWindow::insertTable);
    connect(ui->actionImage, &QAction::triggered, this, &MainWindow::insertImage);
    connect(ui->actionFind, &QAction::triggered, findBar, &FindReplaceBar::showFindBar);
    connect(ui->actionReplace, &QAction::triggered, findBar, &FindReplaceBar::showReplaceBar);

    connect(ui->actionNew, &QAction::triggered, this, &MainWindow::newDocument);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::openDocument);
    connect(ui->actionSave, &QAction::triggered, this, &MainWindow::save);
    connect(ui->actionSaveAs, &QAction::triggered, this, &MainWindow::saveAs);
    connect(ui->actionExit, &QAction::triggered, this, &QWidget::close);
    connect(ui->actionNewWindow, &QAction::triggered, this,
            [] { QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList()); });
    connect(ui->actionHTML, &QAction::triggered, this, [this] { exportAs(Exporter::Html); });
    connect(ui->actionWordDocx, &QAction::triggered, this, [this] { exportAs(Exporter::Docx); });
    connect(ui->actionOdt, &QAction::triggered, this, [this] { exportAs(Exporter::Odt); });
    connect(ui->actionPDF, &QAction::triggered, this, [this] { exportAs(Exporter::Pdf); });
    connect(ui->actionPrint, &QAction::triggered, this, &MainWindow::print);
    for (const auto &pair : {qMakePair(ui->actionSaveToolBar, ui->actionSave), qMakePair(ui->actionNewToolBar, ui->actionNew),
                             qMakePair(ui->actionUndoToolBar, ui->actionUndo), qMakePair(ui->actionRedoToolBar, ui->actionRedo)})
        connect(pair.first, &QAction::triggered, pair.second, &QAction::trigger);

    addZoomInKey(ui->actionZoomIn);
    connect(ui->actionZoomIn, &QAction::triggered, this, [this] { zoom(zoomFactor() + kZoomStep); });
    connect(ui->actionZoomOut, &QAction::triggered, this, [this] { zoom(zoomFactor() - kZoomStep); });
    connect(ui->actionDefaultZoom, &QAction::triggered, this, [this] { zoom(1); });
    connect(ui->actionSetting, &QAction::triggered, this, [this] {
        settingDialog->loadSettings();
        settingDialog->exec();
    });
    connect(ui->actionBackup, &QAction::triggered, this, [] { BackupManager(nullptr).exec(); });
    connect(ui->actionHelp, &QAction::triggered, this,
            [] { openSite(QStringLiteral("/%1/help.html").arg(QCoreApplication::applicationName())); });
    connect(ui->actionWhatsNew, &QAction::triggered, this,
            [] { openSite(QStringLiteral("/%1/updatelog.html").arg(QCoreApplication::applicationName())); });
    connect(ui->actionDonate, &QAction::triggered, this, [] { openSite(QStringLiteral("/Donate.html")); });
    connect(ui->actionFeedback, &QAction::triggered, this, [] {
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:feedback@veltrane.example?subject=反馈给我们&body=")));
    });
    connect(ui->actionAbout, &QAction::triggered, this, [this] { runDialog(new AboutDialog, windowIcon(), tr("关于我们")); });
    connect(ui->actionLicenses, &QAction::triggered, this,
            [this] { runDialog(new DialogLicense, windowIcon(), tr("Licenses")); });
}

void MainWindow::setStartupFilePath(const QString &path)
{
    startupPath = path;
}

void MainWindow::setPalettes(const QPalette &dark, const QPalette &light)
{
    darkPalette = dark;
    lightPalette = light;
    // The source editor takes the application palette at start: one of its own, set
    // before its style sheet is polished, would stay on its text area for good.
    if (const QPalette *palette = themePalette(Settings::instance().theme(), darkPalette, lightPalette))
        setStatusBarPalette(*palette);
}

// Widgets under the status bar's style sheet keep the palette they were polished
// with: they are given the one in use, at start as at every switch.
void MainWindow::setStatusBarPalette(const QPalette &palette)
{
    modeButton->setPalette(palette);
    wordCountLabel->setPalette(palette);
}

// ---------------------------------------------------------------------------
// Frame: theme, status bar, glyphs, zoom, language

void MainWindow::setupThemeMenu()
{
    themeMenu = new QMenu(tr("主题"), this);
    lightThemeAction = themeMenu->addAction(tr("浅色"));
    darkThemeAction = themeMenu->addAction(tr("深色"));
    lightThemeAction->setObjectName(QStringLiteral("actionLightTheme"));
    darkThemeAction->setObjectName(QStringLiteral("actionDarkTheme"));
    // Exclusive: choosing the theme in use again leaves it checked.
    auto *group = new QActionGroup(themeMenu);
    for (QAction *action : {lightThemeAction, darkThemeAction})
        group->addAction(action)->setCheckable(true);
    checkTheme(Settings::instance().theme());
    connect(lightThemeAction, &QAction::triggered, this, [] { Settings::instance().setTheme(Settings::Theme::Light); });
    connect(darkThemeAction, &QAction::triggered, this, [] { Settings::instance().setTheme(Settings::Theme::Dark); });
    connect(&Settings::instance(), &Settings::themeChanged, this, &MainWindow::applyTheme);
    ui->menuOptions->addMenu(themeMenu);
}

void MainWindow::checkTheme(Settings::Theme theme)
{
    lightThemeAction->setChecked(theme == Settings::Theme::Light);
    darkThemeAction->setChecked(theme == Settings::Theme::Dark);
}

void MainWindow::applyTheme(Settings::Theme theme)
{
    checkTheme(theme);
    const QPalette *palette = themePalette(theme, darkPalette, lightPalette);
    if (!palette)
        return;
    QApplication::setPalette(*palette);
    setStatusBarPalette(*palette);
    ui->editor->setPalette(*palette);
}

void MainWindow::setupStatusBar()
{
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item {border: 0px}"));
    modeButton = new QPushButton(this);
    modeButton->setObjectName(QStringLiteral("modeButton"));
    modeButton->setFont(iconFont);
    modeButton->setFixedWidth(40);
    statusBar()->addWidget(modeButton);

    // A message of the status bar would hide the mode button for as long as it shows.
    noticeLabel = new QLabel(this);
    noticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    noticeLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    noticeLabel->hide();
    statusBar()->addWidget(noticeLabel, 1);

    promoLabel = new QLabel(this);
    promoLabel->setObjectName(QStringLiteral("promoLabel"));
    promoLabel->setFont(iconFont);
    promoLabel->setText(QStringLiteral("<a style=\"color:rgb(110,160,210);text-decoration:none;\" href=\"%1\">%2</a>")
                            .arg(kVendorSite + QStringLiteral("/weixin.html"),
                                 QString(QChar(0xF028)) + QStringLiteral("京东优惠券")));
    promoLabel->setOpenExternalLinks(true);
    promoLabel->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(promoLabel, 1);

    wordCountLabel = new QLabel(this);
    wordCountLabel->setObjectName(QStringLiteral("wordCountLabel"));
    showWordCount(wordCount);
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

void MainWindow::showWordCount(const QString &count)
{
    wordCount = count;
    bool isNumber = false;
    const int n = count.toInt(&isNumber);
    // Through the catalogue's plural forms: "1 word", "2 words".
    wordCountLabel->setText(isNumber ? tr("%n 词", nullptr, n) : count + tr(" 词"));
}

void MainWindow::showStatus(const QString &text)
{
    showNotice(QString());
    statusBar()->showMessage(text, kMessageTimeout);
}

void MainWindow::showNotice(const QString &text)
{
    noticeLabel->setText(text);
    noticeLabel->setToolTip(text);
    noticeLabel->setVisible(!text.isEmpty());
    promoLabel->setVisible(text.isEmpty());
}

void MainWindow::warn(const QString &text)
{
    showMessageBox(QMessageBox::Warning, tr("提示"), text, MessageBoxUnderstood);
}

double MainWindow::zoomFactor() const
{
    // As stored: what the user sees follows it.
    const Settings &settings = Settings::instance();
    const double factor = modeSwitch->isSourceMode() ? settings.sourceZoom() : settings.zoom();
    return qBound(Settings::minZoom, factor, Settings::maxZoom);
}

// Zooms what the user sees: the page, or in source mode the source editor.
void MainWindow::zoom(double factor)
{
    // Whole percents, so that repeated steps never drift off the grid.
    factor = qBound(Settings::minZoom, qRound(factor * 100) / 100.0, Settings::maxZoom);
    if (modeSwitch->isSourceMode())
        Settings::instance().setSourceZoom(factor);
    else
        Settings::instance().setZoom(factor);
    showStatus(tr("缩放比例%1%").arg(qRound(factor * 100)));
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::LanguageChange || !themeMenu)
        return;
    ui->retranslateUi(this);
    addZoomInKey(ui->actionZoomIn);
    themeMenu->setTitle(tr("主题"));
    lightThemeAction->setText(tr("浅色"));
    darkThemeAction->setText(tr("深色"));
    recentMenu->setTitle(tr("最近打开"));
    settingDialog->setWindowTitle(tr("设置"));
    modeSwitch->retranslate();
    findBar->retranslate();
    showWordCount(wordCount);
    setToolBarGlyphs();
}

// ---------------------------------------------------------------------------
// Documents

void MainWindow::openAtStartup()
{
    // Backups of windows that are still open are theirs, and not offered.
    const QString backup = BackupOffer::choose(this, doc->backupsToOffer());
    if (!backup.isEmpty() && doc->restoreBackup(backup))
        return;
    if (!startupPath.isEmpty()) {
        doc->open(startupPath);
        return;
    }
    const QStringList recent = doc->recentFiles();
    if (Settings::instance().startupDocument() == Settings::StartupDocument::MostRecent && !recent.isEmpty())
        doc->open(recent.first());
}

bool MainWindow::confirmDiscard()
{
    return (!doc->isModified() && !doc->isSaving())
        || showMessageBox(QMessageBox::Information, tr("提示"), tr("当前文件还没保存，是否放弃？"), MessageBoxYesNo)
        == QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (closeWait->mustWait() || !confirmDiscard())
        event->ignore();
    else
        event->accept();
}

void MainWindow::newDocument()
{
    if (confirmDiscard())
        doc->clear();
}

void MainWindow::openDocument()
{
    if (!confirmDiscard())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("打开Markdown文件"), QString(), tr("MarkDown文件 (*.md)"));
    if (!path.isEmpty())
        doc->open(path);
}

void MainWindow::save()
{
    if (doc->filePath().isEmpty())
        saveAs();
    else
        doc->save();
}

void MainWindow::saveAs()
{
    const QString path = askSavePath(this, tr("保存MarkDown文件"), tr("MarkDown File (*.md)"), QStringLiteral("md"));
    if (path.isEmpty())
        return;
    const QString previous = doc->filePath();
    if (previous.isEmpty() || QFileInfo(previous).absolutePath() == QFileInfo(path).absolutePath()) {
        doc->saveAs(path);
        return;
    }
    // Into another folder: the images the text names relatively go along, so the
    // text stays as it is and still shows them.
    modeSwitch->current()->markdown([this, previous, path](bool ok, const QString &markdown) {
        if (ok) {
            const QStringList left = carryRelativeImages(markdown, previous, path);
            if (!left.isEmpty())
                warn(tr("这些图片没能带到新文件夹，在那里不能显示：\n%1").arg(left.join(QLatin1Char('\n'))));
        }
        doc->saveAs(path);
    });
}

void MainWindow::rebuildRecentMenu(const QStringList &paths)
{
    recentMenu->clear();
    for (const QString &path : paths) {
        connect(recentMenu->addAction(path), &QAction::triggered, this, [this, path] {
            if (confirmDiscard())
                doc->open(path);
        });
    }
}

void MainWindow::insertTable()
{
    tableDialog.setWindowTitle(tr("设置表格"));
    if (tableDialog.exec() == QDialog::Accepted)
        modeSwitch->current()->insertTable(tableDialog.rowIndex + 1, tableDialog.columnIndex + 1);
}

void MainWindow::insertImage()
{
    auto *dialog = new ImageDialog(this);
    connect(dialog, &ImageDialog::imageChosen, this, [this](const QString &text) {
        const StoredImage stored = storeImage(doc->filePath(), text);
        if (stored.ok())
            modeSwitch->current()->insertImage(stored.reference);
        else
            showStatus(stored.error);
    });
    dialog->show();
}

void MainWindow::saveThenPaste()
{
    if (showMessageBox(QMessageBox::Question, tr("提示"),
                       tr("粘贴的图片保存在文档旁边的文件夹里，所以要先保存文档。现在保存吗？"), MessageBoxYesNo)
        == QMessageBox::Yes)
        saveAs();
    if (doc->filePath().isEmpty())
        showStatus(tr("图片没有粘贴：文档还没有保存"));
    else
        modeSwitch->current()->paste();
}

// ---------------------------------------------------------------------------
// Export and print: the page as the engine renders it (WYSIWYG mode only), or
// for Word and OpenDocument the Markdown; the Exporter writes and reports.

void MainWindow::exportAs(Exporter::Kind kind)
{
    const Exporter::FileType type = Exporter::fileType(kind);
    const QString path = askSavePath(this, type.caption, type.filter, type.suffix);
    if (!path.isEmpty())
        exporter->exportTo(kind, path);
}

void MainWindow::showExported(const QString &message, Exporter::Kind kind)
{
    showMessageBox(kind == Exporter::Print ? QMessageBox::Information : QMessageBox::NoIcon, tr("提示"), message,
                   MessageBoxUnderstood);
}

void MainWindow::print()
{
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    exporter->exportTo(Exporter::Print, toFile ? printer.outputFileName() : QString());
}
