#include "editor/pagesurface.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "convert/sourceblocks.h"
#include "editor/editorpage.h"
#include "editor/mimepayload.h"
#include "editor/pageview.h"
#include "settings/settings.h"
#include "settings/themes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDropEvent>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPrinter>
#include <QThreadPool>
#include <QUrl>
#include <QWebChannel>
#include <QWebEngineProfile>

namespace {
// Below what the channel and the script bridge can carry in one message.
int transferPiece = 4 << 20;

// The end of the piece of text starting at from: a surrogate pair stays whole.
int pieceEnd(const QString &text, int from)
{
    int end = int(qMin<qint64>(text.size(), qint64(from) + transferPiece));
    if (end < text.size() && end - 1 > from && text.at(end - 1).isHighSurrogate())
        --end;
    return end;
}

} // namespace

PageSurface::PageSurface(PageView *view, QObject *parent)
    : EditingSurface(parent), pageView(view), ownedPage(view->page())
{
    // The surface, not the view, owns the page: the view may go first (it does in
    // the window), and the page's pending answers must not outlive the surface.
    ownedPage->setParent(this);
    // The channel belongs to the page, so that neither can outlive the other's use.
    auto *channel = new QWebChannel(view->page());
    channel->registerObject(QStringLiteral("program"), &pageBridge);
    view->page()->setWebChannel(channel);
    view->page()->profile()->clearHttpCache();
    view->setUrl(EditorPage::editingPageUrl());
    view->setAcceptDrops(true);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &PageSurface::showContextMenu);
    connect(view, &PageView::dropped, this, [this](QDropEvent *event) {
        dropMimeData(event->mimeData(), event->posF());
        event->acceptProposedAction();
    });

    // The theme first, so that the document shows in it.
    connect(&pageBridge, &PageBridge::pageReady, this, [this] {
        applyTheme();
        emit documentRequested();
    });
    // A switch of the palette restyles the page in place when it follows the palette.
    connect(&Settings::instance(), &Settings::themeChanged, this, &PageSurface::applyTheme);
    connect(&pageBridge, &PageBridge::documentEdited, this, [this] { emit modificationChanged(true); });
    connect(&pageBridge, &PageBridge::wordCountChanged, this, &PageSurface::wordCountChanged);
    connect(&pageBridge, &PageBridge::statusMessage, this, &PageSurface::statusMessage);
    connect(&pageBridge, &PageBridge::documentLoaded, this, [this](bool ok) {
        if (ok)
            emit contentLoaded();
        else
            emit statusMessage(tr("文档没有完整地传入编辑页面：页面中没有内容，也不能从这里保存"));
    });
    // Every paste in the page (keys, the browser's own command) arrives here once.
    connect(&pageBridge, &PageBridge::pasteRequested, this, [this] {
        emit statusMessage(tr("粘贴操作"));
        paste();
    });
    // A link from the dialog (a new one or a clicked one changed) goes back to the page.
    connect(&pageBridge, &PageBridge::linkAccepted, this, [this](const QJsonObject &link) { send(PageCall::SetLink, {link}); });
    connect(&pageBridge, &PageBridge::pageFocused, this, [this] {
        clearMatches();
        emit focused();
        pageView->findText(QString());
    });
}

PageSurface::~PageSurface()
{
    *alive = false;
    delete ownedPage;
}

template <typename Result>
std::function<void(Result)> PageSurface::answer(const std::function<void(Result)> &done)
{
    ++pending;
    return [this, alive = alive, done](Result result) {
        if (!*alive)
            return;
        done(result);
        if (--pending == 0)
            emit settled();
    };
}

void PageSurface::toHtml(const std::function<void(const QString &)> &done)
{
    // An export holds the whole document.
    withWholeDocument([this, done] { pageView->page()->toHtml(answer(done)); });
}

void PageSurface::printToPdf(const QPageLayout &layout, const std::function<void(const QByteArray &)> &done)
{
    withWholeDocument([this, done, layout] { pageView->page()->printToPdf(answer(done), layout); });
}

void PageSurface::print(QPrinter *printer, const std::function<void(bool)> &done)
{
    withWholeDocument([this, done, printer] { pageView->page()->print(printer, answer(done)); });
}

const char *PageSurface::functionName(PageCall call)
{
    switch (call) {
    case PageCall::SetDocumentFolder: return "setDocumentFolder";
    case PageCall::ReceivePiece: return "receivePiece";
    case PageCall::SetHtml: return "setHtml";
    case PageCall::StartHtmlTransfer: return "startHtmlTransfer";
    case PageCall::HtmlTransferPiece: return "htmlTransferPiece";
    case PageCall::PageForms: return "pageForms";
    case PageCall::ShowWholeDocument: return "showWholeDocument";
    case PageCall::SetTheme: return "setTheme";
    case PageCall::ExecCommand: return "execCommand";
    case PageCall::InlineCode: return "inlineCode";
    case PageCall::Heading: return "heading";
    case PageCall::Quote: return "quote";
    case PageCall::CodeBlock: return "codeBlock";
    case PageCall::InsertTable: return "insertTable";
    case PageCall::Link: return "link";
    case PageCall::SetLink: return "setLink";
    case PageCall::Insert: return "insert";
    case PageCall::InsertImage: return "insertImage";
    case PageCall::MarkMatches: return "markMatches";
    case PageCall::StepMatch: return "stepMatch";
    case PageCall::ReplaceMatch: return "replaceMatch";
    case PageCall::ReplaceAllMatches: return "replaceAllMatches";
    case PageCall::ClearMatches: return "clearMatches";
    case PageCall::ContextAt: return "contextAt";
    case PageCall::SetCodeBlockMode: return "setCodeBlockMode";
    case PageCall::InsertRow: return "insertRow";
    case PageCall::InsertColumn: return "insertColumn";
    case PageCall::DeleteRow: return "deleteRow";
    case PageCall::DeleteColumn: return "deleteColumn";
    case PageCall::MoveRow: return "moveRow";
    case PageCall::MoveColumn: return "moveColumn";
    case PageCall::AlignColumn: return "alignColumn";
    case PageCall::DeleteTable: return "deleteTable";
    }
    return "";
}

// Every command is a statement run in the page rather than a signal of the
// bridge. Many commands want an answer (the document's HTML, what is at a
// point, "the whole document is in"): a statement gives its own, and the
// engine settles answers still owed when the page goes, which a request
// answered over the channel would leave waiting. One path for all keeps the
// commands in the order they were sent (a signal could overtake a statement).
// The arguments travel as JSON, so no text can become script; large text
// (a document) goes in pieces that one message carries (transferPiece).
void PageSurface::send(PageCall call, const QJsonArray &arguments, const std::function<void(const QVariant &)> &done)
{
    const QByteArray list = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    // Before the page is ready there is no `page` to call: it asks for what it
    // needs once it is (pageReady).
    const QString statement = QStringLiteral("window.page && page.%1(...%2)")
                                  .arg(QLatin1String(functionName(call)), QString::fromUtf8(list));
    if (done)
        pageView->page()->runJavaScript(statement, answer<const QVariant &>(done));
    else
        pageView->page()->runJavaScript(statement);
}

void PageSurface::execCommand(const char *command)
{
    send(PageCall::ExecCommand, {QLatin1String(command)});
}

QString PageSurface::folderUrl() const
{
    return documentPath.isEmpty()
        ? QString()
        : QUrl::fromLocalFile(QFileInfo(documentPath).absolutePath() + QLatin1Char('/')).toString();
}

void PageSurface::setDocumentPath(const QString &path)
{
    documentPath = path;
    send(PageCall::SetDocumentFolder, {folderUrl()});
}

void PageSurface::setTransferPieceSize(int characters)
{
    transferPiece = qMax(2, characters);
}

void PageSurface::setHtml(const QString &html)
{
    ++fillCount;
    shownFrom.reset();
    // The folder first, so that the new content's relative images show.
    send(PageCall::SetDocumentFolder, {folderUrl()});
    int from = 0;
    for (int end = pieceEnd(html, from); end < html.size(); end = pieceEnd(html, from)) {
        send(PageCall::ReceivePiece, {html.mid(from, end - from)});
        from = end;
    }
    send(PageCall::SetHtml, {from == 0 ? html : html.mid(from)});
}

void PageSurface::documentHtml(const std::function<void(bool, const QString &)> &done)
{
    const int id = ++transfers;
    send(PageCall::StartHtmlTransfer, {id, transferPiece}, [this, id, done](const QVariant &result) {
        const QVariantMap first = result.toMap();
        const QVariant piece = first.value(QStringLiteral("piece"));
        bool known = false;
        const qint64 length = first.value(QStringLiteral("length")).toLongLong(&known);
        if (result.type() != QVariant::Map || piece.type() != QVariant::String || !known) {
            done(false, QString());
            return;
        }
        fetchHtmlPiece(id, std::make_shared<QString>(piece.toString()), length, done);
    });
}

void PageSurface::fetchHtmlPiece(int id, const std::shared_ptr<QString> &html, qint64 length,
                                 const std::function<void(bool, const QString &)> &done)
{
    if (html->size() >= length) {
        // More than announced is as wrong as less: only the exact text is a document.
        if (html->size() == length)
            done(true, *html);
        else
            done(false, QString());
        return;
    }
    const auto next = [this, id, html, length, done](const QVariant &result) {
        if (result.type() != QVariant::String || result.toString().isEmpty()) {
            done(false, QString());
            return;
        }
        html->append(result.toString());
        fetchHtmlPiece(id, html, length, done);
    };
    send(PageCall::HtmlTransferPiece, {id, html->size(), transferPiece}, next);
}

void PageSurface::withWholeDocument(const std::function<void()> &then, bool laidOut)
{
    send(PageCall::ShowWholeDocument, {laidOut}, [then](const QVariant &) { then(); });
}

void PageSurface::applyTheme()
{
    // The page lives in the resource scheme: only a file URL reaches a file on disk.
    const auto url = [](const QString &path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); };
    const QString screen = Themes::currentPath();
    const QString print = Themes::printPath();
    send(PageCall::SetTheme, {url(screen), Themes::codeTheme(screen), print == screen ? QString() : url(print),
                              Themes::codeTheme(print)});
}

void PageSurface::setMenuActions(const QList<QAction *> &actions)
{
    menuActions = actions;
}

void PageSurface::insertMimeData(const QMimeData *mimeData)
{
    insert(mimeData, nullptr);
}

void PageSurface::dropMimeData(const QMimeData *mimeData, const QPointF &pos)
{
    insert(mimeData, &pos);
}

void PageSurface::insert(const QMimeData *mimeData, const QPointF *dropPos)
{
    const InsertPayloads result = insertPayloads(mimeData, documentPath);
    if (result.needsSavedDocument) {
        if (dropPos)
            emit statusMessage(tr("拖入的图片要保存在文档旁边，请先保存文档"));
        else
            emit savedDocumentNeeded();
    } else if (!result.error.isEmpty()) {
        emit statusMessage(result.error);
    }
    for (int i = 0; i < result.payloads.size(); ++i) {
        QJsonObject payload = result.payloads.at(i);
        if (dropPos && i == 0) {
            // The first goes where the pointer is (in the page's CSS pixels); the rest follow it.
            const double zoom = pageView->zoomFactor();
            payload.insert(QStringLiteral("x"), dropPos->x() / zoom);
            payload.insert(QStringLiteral("y"), dropPos->y() / zoom);
        }
        send(PageCall::Insert, {payload});
    }
    pageView->page()->profile()->clearHttpCache();
}

QWidget *PageSurface::widget() const
{
    return pageView;
}

void PageSurface::markdown(const MarkdownCallback &done)
{
    // The text the page was filled from as the request goes out: a later fill
    // answers its own requests.
    const std::shared_ptr<SourceBlocks> from = shownFrom;
    documentHtml([this, done, from](bool ok, const QString &html) {
        if (!ok)
            done(false, QString());
        else if (!from)
            done(true, htmlToMarkdown(html));
        else
            settlePageForms(from, [done, from, html] { done(true, from->markdownFor(html)); });
    });
}

void PageSurface::settlePageForms(const std::shared_ptr<SourceBlocks> &from, const std::function<void()> &then)
{
    // HTML the document wrote itself comes back from the page in the page's
    // own writing: the page tells how, once per fill, so that such a block
    // left alone is still known as unchanged.
    const QStringList nodes = from->rawHtmlNodes();
    if (nodes.isEmpty()) {
        then();
        return;
    }
    askPageForms(from, nodes, std::make_shared<QStringList>(), then);
}

void PageSurface::askPageForms(const std::shared_ptr<SourceBlocks> &from, const QStringList &nodes,
                               const std::shared_ptr<QStringList> &forms, const std::function<void()> &then)
{
    const int first = forms->size();
    if (first == nodes.size()) {
        from->setPageForms(*forms);
        then();
        return;
    }
    // As many nodes as one message carries; a node too large for one is
    // taken as written (converted, should the page write it otherwise).
    qint64 size = 0;
    int end = first;
    while (end < nodes.size() && size + nodes.at(end).size() <= transferPiece)
        size += nodes.at(end++).size();
    if (end == first) {
        forms->append(nodes.at(first));
        askPageForms(from, nodes, forms, then);
        return;
    }
    const QStringList batch = nodes.mid(first, end - first);
    // One argument, the list (braces around an array alone would copy it).
    QJsonArray arguments;
    arguments.append(QJsonArray::fromStringList(batch));
    send(PageCall::PageForms, arguments, [this, from, nodes, forms, then, count = batch.size()](const QVariant &result) {
        const QStringList answered = result.toStringList();
        if (answered.size() != count) {
            from->setPageForms({}); // no answer: such blocks are converted
            then();
            return;
        }
        forms->append(answered);
        askPageForms(from, nodes, forms, then);
    });
}

void PageSurface::setMarkdown(const QString &markdown)
{
    setHtml(markdownToHtml(markdown));
    // What the user leaves alone is saved as it was written. Its blocks are
    // found while the page fills, not when the first save waits for them.
    shownFrom = std::make_shared<SourceBlocks>(markdown);
    QThreadPool::globalInstance()->start([blocks = shownFrom] { blocks->prepare(); });
}

void PageSurface::bold() { execCommand("bold"); }
void PageSurface::italic() { execCommand("italic"); }
void PageSurface::strike() { execCommand("strikeThrough"); }
void PageSurface::inlineCode() { send(PageCall::InlineCode); }
void PageSurface::heading(int level) { send(PageCall::Heading, {level}); }
void PageSurface::quote() { send(PageCall::Quote); }
void PageSurface::orderedList() { execCommand("insertOrderedList"); }
void PageSurface::bulletList() { execCommand("insertUnorderedList"); }
void PageSurface::rule() { execCommand("insertHorizontalRule"); }
void PageSurface::codeBlock() { send(PageCall::CodeBlock); }
void PageSurface::insertTable(int rows, int columns) { send(PageCall::InsertTable, {rows, columns}); }
void PageSurface::link() { send(PageCall::Link); }
void PageSurface::insertImage(const QString &path) { send(PageCall::InsertImage, {path}); }
void PageSurface::clearFormat() { execCommand("removeFormat"); }
void PageSurface::unlink() { execCommand("unlink"); }

void PageSurface::undo() { execCommand("undo"); }
void PageSurface::redo() { execCommand("redo"); }
void PageSurface::cut() { execCommand("cut"); }
void PageSurface::copy() { execCommand("copy"); }
void PageSurface::paste() { insertMimeData(QApplication::clipboard()->mimeData()); }
void PageSurface::deleteSelection() { execCommand("delete"); }
void PageSurface::selectAll() { execCommand("selectAll"); }

QString PageSurface::selectedText() const
{
    return pageView->selectedText();
}

void PageSurface::find(const QString &text, bool backward)
{
    withWholeDocument([this, text, backward] {
        pageView->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
    }, true);
}

void PageSurface::findAsTyped(const QString &text)
{
    withWholeDocument([this, text] { pageView->findText(text); }, !text.isEmpty());
}

void PageSurface::markMatches(const QString &text)
{
    if (text.isEmpty())
        clearMatches();
    else
        send(PageCall::MarkMatches, {text});
}

void PageSurface::stepMatch(const QString &text, bool backward)
{
    Q_UNUSED(text)
    send(PageCall::StepMatch, {backward});
}

void PageSurface::replaceMatch(const QString &text, const QString &replacement)
{
    Q_UNUSED(text)
    send(PageCall::ReplaceMatch, {replacement});
}

void PageSurface::replaceAllMatches(const QString &text, const QString &replacement)
{
    Q_UNUSED(text)
    send(PageCall::ReplaceAllMatches, {replacement});
}

void PageSurface::clearMatches()
{
    send(PageCall::ClearMatches);
}

void PageSurface::showContextMenu(const QPoint &pos)
{
    // The page works in CSS pixels: undo the zoom.
    const double zoom = pageView->zoomFactor();
    const int x = qRound(pos.x() / zoom);
    const int y = qRound(pos.y() / zoom);
    send(PageCall::ContextAt, {x, y}, [this, x, y](const QVariant &result) {
        const QVariantMap found = result.toMap();
        // The code block's own selector's languages, as [mode, name] pairs.
        const QVariantList languageList = found.value(QStringLiteral("languages")).toList();

        QMenu menu(pageView);
        for (QAction *action : qAsConst(menuActions)) {
            if (action)
                menu.addAction(action);
            else
                menu.addSeparator();
        }
        // An item calling the page for the point; more arguments follow the point's.
        auto addCall = [this, x, y](QMenu *target, const QString &text, PageCall call, const QJsonArray &more = {}) {
            QJsonArray arguments{x, y};
            for (const QJsonValue &value : more)
                arguments.append(value);
            connect(target->addAction(text), &QAction::triggered, this, [this, call, arguments] { send(call, arguments); });
        };

        if (!languageList.isEmpty()) {
            QMenu *languages = menu.addMenu(tr("代码块语言"));
            languages->setLayoutDirection(Qt::LeftToRight);
            for (const QVariant &entry : languageList) {
                const QVariantList pair = entry.toList();
                if (pair.size() != 2)
                    continue;
                const QString mode = pair.at(0).toString();
                addCall(languages, mode.isEmpty() ? tr("默认") : pair.at(1).toString(), PageCall::SetCodeBlockMode, {mode});
            }
        } else if (found.value(QStringLiteral("table")).toBool()) {
            QMenu *table = menu.addMenu(tr("表格"));
            table->setLayoutDirection(Qt::LeftToRight);
            addCall(table, tr("上方插入行"), PageCall::InsertRow, {QStringLiteral("above")});
            addCall(table, tr("下方插入行"), PageCall::InsertRow, {QStringLiteral("below")});
            addCall(table, tr("左边插入列"), PageCall::InsertColumn, {QStringLiteral("left")});
            addCall(table, tr("右边插入列"), PageCall::InsertColumn, {QStringLiteral("right")});
            addCall(table, tr("删除当前行"), PageCall::DeleteRow);
            addCall(table, tr("删除当前列"), PageCall::DeleteColumn);
            addCall(table, tr("上移当前行"), PageCall::MoveRow, {QStringLiteral("up")});
            addCall(table, tr("下移当前行"), PageCall::MoveRow, {QStringLiteral("down")});
            addCall(table, tr("左移当前列"), PageCall::MoveColumn, {QStringLiteral("left")});
            addCall(table, tr("右移当前列"), PageCall::MoveColumn, {QStringLiteral("right")});
            addCall(table, tr("左对齐当前列"), PageCall::AlignColumn, {QStringLiteral("left")});
            addCall(table, tr("居中对齐当前列"), PageCall::AlignColumn, {QStringLiteral("center")});
            addCall(table, tr("右对齐当前列"), PageCall::AlignColumn, {QStringLiteral("right")});
            addCall(table, tr("删除表格"), PageCall::DeleteTable);
        } else {
            connect(menu.addAction(tr("表格")), &QAction::triggered, this, &PageSurface::tableRequested);
            connect(menu.addAction(tr("代码块")), &QAction::triggered, this, &PageSurface::codeBlock);
        }
        connect(menu.addAction(tr("链接")), &QAction::triggered, this, &PageSurface::link);
        connect(menu.addAction(tr("图片")), &QAction::triggered, this, &PageSurface::imageRequested);
        menu.exec(QCursor::pos());
    });
}
