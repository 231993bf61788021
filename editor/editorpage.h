#ifndef EDITORPAGE_H
#define EDITORPAGE_H

#include <QUrl>
#include <QWebEnginePage>

// The page that holds the editing page and its bridge. Nothing a document
// contains (a link, a refresh, a form) may navigate it away: the only
// navigation allowed is the program loading the editing page itself.
class EditorPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit EditorPage(QObject *parent = nullptr);

    static QUrl editingPageUrl();

signals:
    void navigationRefused(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
};

#endif // EDITORPAGE_H
