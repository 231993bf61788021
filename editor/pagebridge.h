#ifndef PAGEBRIDGE_H
#define PAGEBRIDGE_H

#include <QJsonObject>
#include <QObject>
#include <QPointer>

class LinkDialog;

// What the editing page tells the program: the object registered on the page's
// web channel as "program". Its slots are all the page can call (and all a
// document could reach, were a script of it ever to run); each is told on as a
// signal. The program's commands to the page go another way (PageSurface::send).
class PageBridge : public QObject
{
    Q_OBJECT

public:
    explicit PageBridge(QObject *parent = nullptr);
    ~PageBridge() override;

    // The most recently opened link dialog, while it is open.
    LinkDialog *currentLinkDialog() const;

signals:
    // The page has its scripts and its channel: it wants its theme and its document.
    void pageReady();
    void documentEdited();
    void wordCountChanged(const QString &count);
    void pageFocused();
    // The user pasted in the page: the program inserts the clipboard.
    void pasteRequested();
    // The page has the whole document (ok), or the transfer failed and it holds none.
    void documentLoaded(bool ok);
    // A link from the dialog, for the page: a new one or the clicked one changed.
    void linkAccepted(const QJsonObject &link);
    // A transient message for the status bar (for example a refused address).
    void statusMessage(const QString &text);

public slots:
    void ready();
    void edited();
    void wordCount(const QString &count);
    void focused();
    void paste();
    void contentLoaded(bool ok);
    void openUrl(const QString &url);
    // The link dialog for the link clicked in the page, or for a new one.
    void editLink(const QString &text, const QString &url);
    void newLink(const QString &selectedText);

private:
    void openLinkDialog(const QString &text, const QString &url, bool isModify);

    QPointer<LinkDialog> linkDialog;
};

// Whether openUrl may hand an address to the desktop: only web and mail addresses,
// so that a link in a document can never start a local program.
bool isOpenableUrl(const QUrl &url);

#endif // PAGEBRIDGE_H
