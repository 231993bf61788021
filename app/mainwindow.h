#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "backup/backupstore.h"
#include "editor/content.h"
#include "editor/tabledialog.h"

#include <QFont>
#include <QJsonObject>
#include <QMainWindow>
#include <QMap>
#include <QPalette>
#include <QPointer>
#include <QPrinter>
#include <QTranslator>
#include <functional>

QT_BEGIN_NAMESPACE
namespace Ui { class MainWindow; }
class QAction;
class QDropEvent;
class QLabel;
class QMimeData;
class QMenu;
class QPushButton;
class QTimer;
class QWebChannel;
QT_END_NAMESPACE

class FindReplaceBar;
class Highlighter;
class ImageDialog;
class SettingDialog;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up hooks used by main().
    void setStartupFilePath(const QString &path);
    void setPalettes(const QPalette &dark, const QPalette &light);

public slots:
    void onShowInfoInStatusBar(QString text);
    void on_actionClear_triggered();
    void on_actionBold_triggered();
    void on_actionItalic_triggered();
    void on_actionOrderLine_triggered();
    void on_actionUnOrderLine_triggered();
    void on_actionQuot_triggered();
    void on_actionCode_triggered();
    void on_actionHoriLine_triggered();
    void on_actionLink_triggered();
    void on_actionImage_triggered();
    void on_actionStrike_triggered();
    void on_actionRedo_triggered();
    void on_actionUndo_triggered();
    void on_actionUnlink_triggered();
    void on_actionTable_triggered();
    void on_actionCodeBlock_triggered();
    void on_actionHTML_triggered();
    void updateModifyStatus(bool status);
    void changeTheme();
    void saveToFile(QString markdown);
    void dealLinkSignal(QJsonObject jsonData);
    void setEditorFontSize(int fontSize);
    void changeEditorWebView(bool checked);
    void autoBackup();
    void backup(QString markdown);
    void webViewFocus();
    void dropEventWebView(QDropEvent *event);
    void on_actionPDF_triggered();
    void on_actionBackup_triggered();
    void on_actionDefaultZoom_triggered();
    void on_actionSetting_triggered();
    void on_actionPrint_triggered();
    void on_actionWordDocx_triggered();
    void on_actionNewWindow_triggered();
    void on_actionCopy_triggered();
    void on_actionCut_triggered();
    void on_actionPaste_triggered();
    void on_actionDel_triggered();
    void on_actionSelectAll_triggered();
    void on_actionFind_triggered();
    void on_actionReplace_triggered();
    void on_actionZoomOut_triggered();
    void on_actionZoomIn_triggered();
    void on_actionHelp_triggered();
    void on_actionDonate_triggered();
    void on_actionFeedback_triggered();
    void on_actionWhatsNew_triggered();
    void on_actionAbout_triggered();
    void on_actionNew_triggered();
    void on_actionExit_triggered();
    void on_actionOpen_triggered();
    void on_actionSave_triggered();
    void on_actionSaveAs_triggered();
    void on_actionH1_triggered();
    void on_actionH2_triggered();
    void on_actionH3_triggered();
    void on_actionH4_triggered();
    void on_actionH5_triggered();
    void on_actionH6_triggered();
    void on_actionUndoToolBar_triggered();
    void on_actionRedoToolBar_triggered();
    void on_actionSaveToolBar_triggered();
    void on_actionNewToolBar_triggered();
    void on_actionLicenses_triggered();

    void applyThemeCss();
    void openAtStartup();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closing by any means asks before unsaved work is dropped.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void showPageContextMenu(const QPoint &pos);
    void highlightCurrentLine();
    void openRecentFile();

private:
    friend struct MainWindowProbe; // test access

    bool isSourceMode() const;
    void runScript(const QString &statement);
    void setToolBarGlyphs();
    void setupStatusBar();
    void setupThemeMenu();
    void retranslateExtras();
    void setZoom(double factor, const QString &shown);
    void setModeButtonState(bool sourceMode);

    // Documents
    void openFile(const QString &path);
    bool confirmDiscard();
    void updateWindowTitle();
    void addRecentFile(const QString &path);
    void rebuildRecentMenu();
    void registerFileAssociation(const QString &exePath, const QString &progId,
                                 const QString &extension, const QString &typeName);
    bool saveDocument();
    void setEditorText(const QString &text);
    void pushMarkdown(const QString &markdown);
    // Replaces the page content, telling the page the document's folder first.
    void pushHtml(const QString &html);
    // The document's folder as a file URL ending in "/", empty for an untitled document.
    QString documentFolderUrl() const;
    // Pulls the document as Markdown from the current view; ok is false when the
    // page gave no answer, so that nothing is built from an empty result.
    void pullMarkdown(const std::function<void(bool ok, const QString &markdown)> &done);
    void pullPageMarkdown(const std::function<void(bool ok, const QString &markdown)> &done);

    // Insertion, backups, tables
    void insertMimeData(const QMimeData *mimeData);
    bool restoreBackupOnStartup();
    void deleteBackup(const QString &path);
    void openTableDialog();
    // HTML and Word export: the standalone page written to path, then the outcome told.
    void exportThroughPage(const QString &path);

    Ui::MainWindow *ui;

    QPalette lightPalette;
    QPalette darkPalette;
    QTranslator translator;
    QFont iconFont;
    QMenu *themeMenu = nullptr;
    QAction *lightThemeAction = nullptr;
    QAction *darkThemeAction = nullptr;

    QString currentFilePath;
    QString currentFileName;
    bool isModified = false;
    QString titleFormat;
    QMenu *recentMenu = nullptr;
    QList<QAction *> recentActions;

    Content content;
    QWebChannel *channel = nullptr;
    QPrinter printer;
    TableDialog tableDialog;
    SettingDialog *settingDialog = nullptr;
    Highlighter *highlighter = nullptr;
    FindReplaceBar *findReplaceBar = nullptr;
    QPointer<ImageDialog> imageDialog;

    QPushButton *modeButton = nullptr;
    QLabel *promoLabel = nullptr;
    QLabel *wordCountLabel = nullptr;
    QMap<QString, QString> promoLinks;

    // Backup slot of this document: folder, file name, path and the pending flag.
    BackupStore backupStore;
    QTimer *backupTimer = nullptr;
};

#endif // MAINWINDOW_H
