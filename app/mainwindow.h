#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "editor/tabledialog.h"
#include "export/exporter.h"
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

class CloseWait;
class Document;
class FindReplaceBar;
class ModeSwitch;
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
    // News that stays until there is other news, beside the mode button.
    void showNotice(const QString &text);
    void showWordCount(const QString &count);
    void warn(const QString &text);
    double zoomFactor() const;
    void zoom(double factor);

    bool confirmDiscard();
    void newDocument();
    void openDocument();
    void save();
    void saveAs();
    void rebuildRecentMenu(const QStringList &paths);
    void insertTable();
    void insertImage();
    // Pasted image data in an untitled document: save it first, then paste.
    void saveThenPaste();

    // Asks for the file, then exports to it.
    void exportAs(exporting::Exporter::Kind kind);
    void showExported(const QString &message, exporting::Exporter::Kind kind);
    void print();

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
    QLabel *noticeLabel = nullptr;
    QLabel *promoLabel = nullptr;
    QString wordCount = QStringLiteral("0"); // as the page last reported it

    ModeSwitch *modeSwitch = nullptr;
    Document *doc = nullptr;
    exporting::Exporter *exporter = nullptr;
    FindReplaceBar *findBar = nullptr;
    SettingDialog *settingDialog = nullptr;
    TableDialog tableDialog;
    QPrinter printer;
    QString startupPath;
    CloseWait *closeWait = nullptr;
};

#endif // MAINWINDOW_H
