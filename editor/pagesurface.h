#ifndef PAGESURFACE_H
#define PAGESURFACE_H

#include "editor/editingsurface.h"
#include "editor/pagebridge.h"

#include <QJsonArray>
#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

class PageView;
class QAction;
class QMimeData;
class QPageLayout;
class QPointF;
class QPrinter;
class QWebEnginePage;
class SourceBlocks;

// The editing page (WYSIWYG): the web view, the bridge object on its channel
// and the page's context menu. The only code that names page functions: every
// command reaches the page through send().
class PageSurface : public EditingSurface
{
    Q_OBJECT

public:
    // Registers the bridge on the view's page and loads the editing page.
    explicit PageSurface(PageView *view, QObject *parent = nullptr);
    // The page goes first, so that no answer it still owes reaches anything.
    ~PageSurface() override;

    PageView *view() const { return pageView; }
    PageBridge *bridge() { return &pageBridge; }

    // The open document's file, against which the page resolves relative images
    // and next to which pasted images are copied; empty for an untitled document.
    void setDocumentPath(const QString &path);
    // Replaces the page content. The page shows the top at once and the rest
    // in slices; contentLoaded() follows once it holds the whole document.
    void setHtml(const QString &html);
    // How many times the page was given a document.
    int fills() const { return fillCount; }
    // The page's document HTML (page.html()), moved in pieces; ok is false when
    // the page gave no complete answer.
    void documentHtml(const std::function<void(bool ok, const QString &html)> &done);
    // Text crosses to and from the page in pieces of at most this many characters.
    static void setTransferPieceSize(int characters);
    // Gives the page its theme sheet and code-block theme, for the screen and for print.
    void applyTheme();
    // The actions the context menu starts with; a null entry is a separator.
    void setMenuActions(const QList<QAction *> &actions);
    // Inserts clipboard data at the selection.
    void insertMimeData(const QMimeData *mimeData);
    // Inserts dropped data where it was dropped (pos in the view's pixels).
    void dropMimeData(const QMimeData *mimeData, const QPointF &pos);

    // The page as the engine serialises it, for export.
    void toHtml(const std::function<void(const QString &html)> &done);
    // The page as a PDF document (empty when the engine made none).
    void printToPdf(const QPageLayout &layout, const std::function<void(const QByteArray &pdf)> &done);
    void print(QPrinter *printer, const std::function<void(bool ok)> &done);
    // Answers the page still owes (a save, a switch, an export); settled() once none is left.
    bool isBusy() const { return pending > 0; }

    // The functions of the page's `page` object (resources/page/page.js).
    enum class PageCall {
        SetDocumentFolder, ReceivePiece, SetHtml, StartHtmlTransfer, HtmlTransferPiece, PageForms,
        ShowWholeDocument, SetTheme,
        ExecCommand, InlineCode, Heading, Quote, CodeBlock, InsertTable, Link, SetLink, Insert, InsertImage,
        MarkMatches, StepMatch, ReplaceMatch, ReplaceAllMatches, ClearMatches,
        ContextAt, SetCodeBlockMode, InsertRow, InsertColumn, DeleteRow, DeleteColumn, MoveRow, MoveColumn,
        AlignColumn, DeleteTable,
    };
    // The function's name; "" past the last call.
    static const char *functionName(PageCall call);

    QWidget *widget() const override;
    void markdown(const MarkdownCallback &done) override;
    void setMarkdown(const QString &markdown) override;

    void bold() override;
    void italic() override;
    void strike() override;
    void inlineCode() override;
    void heading(int level) override;
    void quote() override;
    void orderedList() override;
    void bulletList() override;
    void rule() override;
    void codeBlock() override;
    void insertTable(int rows, int columns) override;
    void link() override;
    void insertImage(const QString &path) override;
    void clearFormat() override;
    void unlink() override;

    void undo() override;
    void redo() override;
    void cut() override;
    void copy() override;
    void paste() override;
    void deleteSelection() override;
    void selectAll() override;
    QString selectedText() const override;

    void find(const QString &text, bool backward) override;
    void findAsTyped(const QString &text) override;
    void markMatches(const QString &text) override;
    void stepMatch(const QString &text, bool backward) override;
    void replaceMatch(const QString &text, const QString &replacement) override;
    void replaceAllMatches(const QString &text, const QString &replacement) override;
    void clearMatches() override;

signals:
    // The page has its bridge and asks for the start-up document.
    void documentRequested();
    void wordCountChanged(const QString &count);
    // The page took the focus; its search highlights are gone.
    void focused();
    // Context menu entries that need the window's dialogs.
    void tableRequested();
    void imageRequested();
    void settled();
    // The whole document set by setHtml() is in the page.
    void contentLoaded();

private:
    // Runs then() once the page holds the whole document, and with laidOut
    // lays all of it out (the engine's find finds only text laid out).
    void withWholeDocument(const std::function<void()> &then, bool laidOut = false);
    void fetchHtmlPiece(int id, const std::shared_ptr<QString> &html, qint64 length,
                        const std::function<void(bool, const QString &)> &done);
    // Runs then() once from knows how the page writes its raw HTML.
    void settlePageForms(const std::shared_ptr<SourceBlocks> &from, const std::function<void()> &then);
    // The page's forms of nodes from forms->size() on, in batches the bridge carries.
    void askPageForms(const std::shared_ptr<SourceBlocks> &from, const QStringList &nodes,
                      const std::shared_ptr<QStringList> &forms, const std::function<void()> &then);
    // Calls the page's function with arguments; done, when given, gets its answer.
    void send(PageCall call, const QJsonArray &arguments = {},
              const std::function<void(const QVariant &)> &done = nullptr);
    void execCommand(const char *command);
    void insert(const QMimeData *mimeData, const QPointF *dropPos);
    QString folderUrl() const;
    void showContextMenu(const QPoint &pos);
    // Every answer of the page goes through here: counted while awaited, and
    // dropped once this surface is going (the engine calls pending callbacks
    // with empty results when the page is destroyed).
    template <typename Result>
    std::function<void(Result)> answer(const std::function<void(Result)> &done);

    PageView *pageView;
    QPointer<QWebEnginePage> ownedPage;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    int pending = 0;
    int transfers = 0;
    int fillCount = 0;
    PageBridge pageBridge;
    QString documentPath;
    QList<QAction *> menuActions;
    // The Markdown the page was filled from, when it was.
    std::shared_ptr<SourceBlocks> shownFrom;
};

#endif // PAGESURFACE_H
