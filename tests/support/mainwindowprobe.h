#ifndef MAINWINDOWPROBE_H
#define MAINWINDOWPROBE_H

// Test access to the main window's internals (MainWindow befriends this struct).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QLabel>
#include <QPushButton>

struct MainWindowProbe
{
    explicit MainWindowProbe(MainWindow *w) : w(w) {}
    MainWindow *w;

    Ui::MainWindow *ui() const { return w->ui; }
    Content &content() const { return w->content; }
    QString &currentFilePath() const { return w->currentFilePath; }
    QString &currentFileName() const { return w->currentFileName; }
    bool &isModified() const { return w->isModified; }
    BackupStore &backupStore() const { return w->backupStore; }
    QPushButton *modeButton() const { return w->modeButton; }
    QLabel *wordCountLabel() const { return w->wordCountLabel; }
    QLabel *promoLabel() const { return w->promoLabel; }
    QAction *lightThemeAction() const { return w->lightThemeAction; }
    QAction *darkThemeAction() const { return w->darkThemeAction; }
    QMenu *recentMenu() const { return w->recentMenu; }
    QList<QAction *> recentActions() const { return w->recentActions; }
    QTimer *backupTimer() const { return w->backupTimer; }
    TableDialog &tableDialog() const { return w->tableDialog; }
    FindReplaceBar *findReplaceBar() const { return w->findReplaceBar; }
    QFont iconFont() const { return w->iconFont; }
    QTranslator &translator() const { return w->translator; }

    bool isSourceMode() const { return w->isSourceMode(); }
    void openFile(const QString &path) { w->openFile(path); }
    bool confirmDiscard() { return w->confirmDiscard(); }
    void setEditorText(const QString &text) { w->setEditorText(text); }
    void insertMimeData(const QMimeData *data) { w->insertMimeData(data); }
    bool restoreBackupOnStartup() { return w->restoreBackupOnStartup(); }
    void addRecentFile(const QString &path) { w->addRecentFile(path); }
    void rebuildRecentMenu() { w->rebuildRecentMenu(); }
    void updateWindowTitle() { w->updateWindowTitle(); }
};

#endif // MAINWINDOWPROBE_H
