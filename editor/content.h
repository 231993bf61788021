#ifndef CONTENT_H
#define CONTENT_H

#include <QJsonObject>
#include <QObject>
#include <QPointer>

class LinkDialog;

// The bridge between the program and the editing page, registered on the page's
// web channel as "content". Signals carry program-to-page events, slots are the
// page's calls into the program.
class Content : public QObject
{
    Q_OBJECT

public:
    explicit Content(QObject *parent = nullptr);
    ~Content() override;

    // The most recently opened link dialog, while it is open.
    LinkDialog *currentLinkDialog() const;

signals:
    // The document's HTML; a large one comes as pieces first and its last piece here.
    void setHtmlSignal(const QString &html);
    void htmlPieceSignal(const QString &piece);
    // The page has the whole document (ok), or the transfer failed and it holds none.
    void contentLoadedSignal(bool ok);
    void dealCopySignal(const QJsonObject &jsonData);
    void showInfoInStatusBarSignal(const QString &text);
    void updateModifyStatusSignal(bool status);
    void loadThemeCssSignal();
    void loadRecentMdSignal();
    void highLightKeyword(const QString &oldReplaceText);
    void replaceSelectedText(const QString &newReplaceText);
    void replaceAllHighText(const QString &newReplaceText);
    void webViewFocusSignal();
    void dealLinkSignal(const QJsonObject &jsonData);
    void addLinkSignal(const QJsonObject &jsonData);
    void insertImageSignal(const QString &src);
    // The folder of the open document as a file URL (empty for an untitled one),
    // sent before new content so that relative image paths show.
    void documentFolderSignal(const QString &folderUrl);
    // A transient message for the status bar (for example a refused address).
    void statusMessageSignal(const QString &text);
    // The user pasted in the page: the program inserts the clipboard.
    void pasteSignal();

public slots:
    void showInfoInStatusBar(const QString &text);
    void openUrl(const QString &url);
    void modifyLink(const QString &text, const QString &url);
    void addLink(const QString &selection);
    void updateModifyStatus(bool status);
    void loadThemeCss();
    void loadRecentMd();
    void webViewFocus();
    void paste();
    void contentLoaded(bool ok);

private:
    void openLinkDialog(const QString &text, const QString &url, bool isModify);

    QPointer<LinkDialog> linkDialog;
};

// Whether openUrl may hand an address to the desktop: only web and mail addresses,
// so that a link in a document can never start a local program.
bool isOpenableUrl(const QUrl &url);

#endif // CONTENT_H
