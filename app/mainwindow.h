#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "editor/tabledialog.h"
#include "settings/settings.h"

#include <QFont>
#include <QMainWindow>
#include <QPalette>
#include <QPrinter>

QT_BEGIN_NAMESPACE
namespace Ui { class MainWindow; }
class QAction;
class QLabel;
class QMenu;
class QPushButton;
QT_END_NAMESPACE

class Document;
class FindReplaceBar;
class ModeSwitch;
class OfficeExport;
class QProgressDialog;
class SettingDialog;

// The program's window: menus, tool bar and status bar around the two editing
// surfaces. Commands go to the surface in use (ModeSwitch), file operations to
// the open Document; the window shows what they report.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up hooks used by main().
    void setStartupFilePath(const QString &path);
    void setPalettes(const QPalette &dark, const QPalette &light);

    Document *document() const { return doc; }
    ModeSwitch *modes() const { return modeSwitch; }
    FindReplaceBar *findReplaceBar() const { return findBar; }

public slots:
    // The page is ready: offer a backup, else open the command-line or the most recent file.
    void openAtStartup();

protected:
    void changeEvent(QEvent *event) override;
    // Closing by any means asks before unsaved work is dropped.
    void closeEvent(QCloseEvent *event) override;

private:
    void connectActions();
    void setupThemeMenu();
    void checkTheme(Settings::Theme theme);
    // The palette of the theme, on the application and the widgets that keep their own.
    void applyTheme(Settings::Theme theme);
    void setStatusBarPalette(const QPalette &palette);
    void setupStatusBar();
    void setToolBarGlyphs();
    void showStatus(const QString &text);
    void showWordCount(const QString &count);
    void warn(const QString &text);
    double zoomFactor() const;
    void zoom(double factor);

    bool confirmDiscard();
    // A close that found the page still owing an answer (a save, say): closes
    // again once it has come, or asks at once if the user stops waiting.
    void closeWhenSettled();
    bool keepMineOnConflict(const QString &path);
    void newDocument();
    void openDocument();
    void save();
    void saveAs();
    void rebuildRecentMenu(const QStringList &paths);
    void insertTable();
    void insertImage();
    // Pasted image data in an untitled document: save it first, then paste.
    void saveThenPaste();

    // HTML export: the standalone page written to a chosen file.
    void exportHtml();
    void exportPdf();
    void showExported();
    void print();
    // The PDF the engine made, written to path; false (with *error) when it is not there whole.
    bool writePdf(const QString &path, const QByteArray &pdf, QString *error);

    Ui::MainWindow *ui;
    QPalette lightPalette;
    QPalette darkPalette;
    QFont iconFont;
    QMenu *themeMenu = nullptr;
    QAction *lightThemeAction = nullptr;
    QAction *darkThemeAction = nullptr;
    QMenu *recentMenu = nullptr;
    QPushButton *modeButton = nullptr;
    QLabel *wordCountLabel = nullptr;
    QString wordCount = QStringLiteral("0"); // as the page last reported it

    ModeSwitch *modeSwitch = nullptr;
    Document *doc = nullptr;
    OfficeExport *officeExport = nullptr;
    FindReplaceBar *findBar = nullptr;
    SettingDialog *settingDialog = nullptr;
    TableDialog tableDialog;
    QPrinter printer;
    QString startupPath;
    QProgressDialog *closeWait = nullptr;
    bool closeWithoutWaiting = false;
};

#endif // MAINWINDOW_H
