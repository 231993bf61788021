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

// Text safe to place between single quotes in a page statement.
QString jsQuoted(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return text;
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
    channel->registerObject(QStringLiteral("content"), &content);
    view->page()->setWebChannel(channel);
    view->page()->profile()->clearHttpCache();
    view->setUrl(EditorPage::editingPageUrl());
    view->setAcceptDrops(true);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &PageSurface::showContextMenu);
    connect(view, &PageView::dropEventSignal, this, [this](QDropEvent *event) {
        dropMimeData(event->mimeData(), event->posF());
        event->acceptProposedAction();
    });

    connect(&content, &Content::loadThemeCssSignal, this, &PageSurface::applyTheme);
    // A switch of the palette restyles the page in place when it follows the palette.
    connect(&Settings::instance(), &Settings::themeChanged, this, &PageSurface::applyTheme);
    connect(&content, &Content::loadRecentMdSignal, this, &PageSurface::documentRequested);
    connect(&content, &Content::updateModifyStatusSignal, this, &EditingSurface::modificationChanged);
    connect(&content, &Content::showInfoInStatusBarSignal, this, &PageSurface::wordCountChanged);
    connect(&content, &Content::statusMessageSignal, this, &PageSurface::statusMessage);
    connect(&content, &Content::contentLoadedSignal, this, [this](bool ok) {
        if (ok)
            emit contentLoaded();
        else
            emit statusMessage(tr("文档没有完整地传入编辑页面：页面中没有内容，也不能从这里保存"));
    });
    // Every paste in the page (keys, the browser's own command) arrives here once.
    connect(&content, &Content::pasteSignal, this, [this] {
        emit statusMessage(tr("粘贴操作"));
        paste();
    });
    // A link from the dialog (a new one or a clicked one changed) goes back to the page.
    connect(&content, &Content::dealLinkSignal, &content, &Content::addLinkSignal);
    connect(&content, &Content::webViewFocusSignal, this, [this] {
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

void PageSurface::run(const QString &statement)
{
    pageView->page()->runJavaScript(statement);
}

void PageSurface::execCommand(const QString &command)
{
    run(QStringLiteral("document.execCommand(%1)").arg(command));
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
    emit content.documentFolderSignal(folderUrl());
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
    emit content.documentFolderSignal(folderUrl());
    int from = 0;
    for (int end = pieceEnd(html, from); end < html.size(); end = pieceEnd(html, from)) {
        emit content.htmlPieceSignal(html.mid(from, end - from));
        from = end;
    }
    emit content.setHtmlSignal(from == 0 ? html : html.mid(from));
}

void PageSurface::documentHtml(const std::function<void(bool, const QString &)> &done)
{
    const int id = ++transfers;
    pageView->page()->runJavaScript(
        QStringLiteral("startHtmlTransfer(%1,%2)").arg(id).arg(transferPiece),
        answer<const QVariant &>([this, id, done](const QVariant &result) {
            const QVariantMap first = result.toMap();
            const QVariant piece = first.value(QStringLiteral("piece"));
            bool known = false;
            const qint64 length = first.value(QStringLiteral("length")).toLongLong(&known);
            if (result.type() != QVariant::Map || piece.type() != QVariant::String || !known) {
                done(false, QString());
                return;
            }
            fetchHtmlPiece(id, std::make_shared<QString>(piece.toString()), length, done);
        }));
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
    pageView->page()->runJavaScript(
        QStringLiteral("htmlTransferPiece(%1,%2,%3)").arg(id).arg(html->size()).arg(transferPiece),
        answer<const QVariant &>([this, id, html, length, done](const QVariant &result) {
            if (result.type() != QVariant::String || result.toString().isEmpty()) {
                done(false, QString());
                return;
            }
            html->append(result.toString());
            fetchHtmlPiece(id, html, length, done);
        }));
}

void PageSurface::withWholeDocument(const std::function<void()> &then, bool laidOut)
{
    pageView->page()->runJavaScript(laidOut ? QStringLiteral("finishFill(); layOutWholeDocument(true)")
                                            : QStringLiteral("finishFill()"),
                                    answer<const QVariant &>([then](const QVariant &) { then(); }));
}

void PageSurface::applyTheme()
{
    // The page lives in the resource scheme: only a file URL reaches a file on disk.
    const auto url = [](const QString &path) {
        return jsQuoted(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    };
    const QString screen = Themes::currentPath();
    const QString print = Themes::printPath();
    // Asked for again by the page once it is ready, should it not be yet.
    run(QStringLiteral("if (typeof setPageTheme === 'function') setPageTheme('%1', '%2', '%3', '%4');")
            .arg(url(screen), jsQuoted(Themes::codeTheme(screen)), print == screen ? QString() : url(print),
                 jsQuoted(Themes::codeTheme(print))));
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
        emit content.dealCopySignal(payload);
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
    const QString list = QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(batch)).toJson(QJsonDocument::Compact));
    pageView->page()->runJavaScript(
        QStringLiteral("pageForms(%1)").arg(list),
        answer<const QVariant &>([this, from, nodes, forms, then, count = batch.size()](const QVariant &result) {
            const QStringList answered = result.toStringList();
            if (answered.size() != count) {
                from->setPageForms({}); // no answer: such blocks are converted
                then();
                return;
            }
            forms->append(answered);
            askPageForms(from, nodes, forms, then);
        }));
}

void PageSurface::setMarkdown(const QString &markdown)
{
    setHtml(markdownToHtml(markdown));
    // What the user leaves alone is saved as it was written. Its blocks are
    // found while the page fills, not when the first save waits for them.
    shownFrom = std::make_shared<SourceBlocks>(markdown);
    QThreadPool::globalInstance()->start([blocks = shownFrom] { blocks->prepare(); });
}

void PageSurface::bold() { execCommand(QStringLiteral("'bold'")); }
void PageSurface::italic() { execCommand(QStringLiteral("'italic'")); }
void PageSurface::strike() { execCommand(QStringLiteral("'strikeThrough'")); }
void PageSurface::inlineCode() { run(QStringLiteral("inserCode();")); }

void PageSurface::heading(int level)
{
    run(QStringLiteral("toggleHeading(%1);").arg(level));
}

void PageSurface::quote() { run(QStringLiteral("quoteBlock();")); }
void PageSurface::orderedList() { execCommand(QStringLiteral("'insertOrderedList'")); }
void PageSurface::bulletList() { execCommand(QStringLiteral("'insertUnorderedList'")); }
void PageSurface::rule() { execCommand(QStringLiteral("'insertHorizontalRule'")); }
void PageSurface::codeBlock() { run(QStringLiteral("insertCodeMirror();")); }

void PageSurface::insertTable(int rows, int columns)
{
    run(QStringLiteral("insertTable(%1,%2)").arg(rows).arg(columns));
}

void PageSurface::link() { run(QStringLiteral("openLinkWin();")); }
void PageSurface::insertImage(const QString &path) { emit content.insertImageSignal(path); }
void PageSurface::clearFormat() { execCommand(QStringLiteral("'removeFormat'")); }
void PageSurface::unlink() { execCommand(QStringLiteral("'unlink'")); }

void PageSurface::undo() { execCommand(QStringLiteral("'undo'")); }
void PageSurface::redo() { execCommand(QStringLiteral("'redo'")); }
void PageSurface::cut() { execCommand(QStringLiteral("'cut'")); }
void PageSurface::copy() { execCommand(QStringLiteral("'copy'")); }
void PageSurface::paste() { insertMimeData(QApplication::clipboard()->mimeData()); }
void PageSurface::deleteSelection() { execCommand(QStringLiteral("'delete'")); }
void PageSurface::selectAll() { execCommand(QStringLiteral("'selectAll'")); }

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
        emit content.highLightKeyword(text);
}

void PageSurface::stepMatch(const QString &text, bool backward)
{
    Q_UNUSED(text)
    run(backward ? QStringLiteral("selectedText(true)") : QStringLiteral("selectedText(false)"));
}

void PageSurface::replaceMatch(const QString &text, const QString &replacement)
{
    Q_UNUSED(text)
    emit content.replaceSelectedText(replacement);
}

void PageSurface::replaceAllMatches(const QString &text, const QString &replacement)
{
    Q_UNUSED(text)
    emit content.replaceAllHighText(replacement);
}

void PageSurface::clearMatches()
{
    run(QStringLiteral("clearHighLight()"));
}

void PageSurface::showContextMenu(const QPoint &pos)
{
    // The page works in CSS pixels: undo the zoom.
    const double zoom = pageView->zoomFactor();
    const int x = qRound(pos.x() / zoom);
    const int y = qRound(pos.y() / zoom);
    pageView->page()->runJavaScript(
        QStringLiteral("({ancestors: GetElementFromPoint(%1,%2), languages: codeBlockLanguagesAt(%1,%2)})").arg(x).arg(y),
        answer<const QVariant &>([this, x, y](const QVariant &result) {
            const QVariantMap found = result.toMap();
            const QString ancestors = found.value(QStringLiteral("ancestors")).toString();
            // The code block's own selector's languages, as [mode, name] pairs.
            const QVariantList languageList = found.value(QStringLiteral("languages")).toList();

            QMenu menu(pageView);
            for (QAction *action : qAsConst(menuActions)) {
                if (action)
                    menu.addAction(action);
                else
                    menu.addSeparator();
            }
            auto addStatement = [this, x, y](QMenu *target, const QString &text, const QString &statement) {
                const QString script = statement.arg(x).arg(y);
                connect(target->addAction(text), &QAction::triggered, this, [this, script] { run(script); });
            };

            if (!languageList.isEmpty()) {
                QMenu *languages = menu.addMenu(tr("代码块语言"));
                languages->setLayoutDirection(Qt::LeftToRight);
                for (const QVariant &entry : languageList) {
                    const QVariantList pair = entry.toList();
                    if (pair.size() != 2)
                        continue;
                    const QString mode = pair.at(0).toString();
                    const QString name = mode.isEmpty() ? tr("默认") : pair.at(1).toString();
                    // %1 and %2 stay for the point; the mode is quoted text.
                    addStatement(languages, name,
                                 QStringLiteral("setCodeBlockModeAt(%1,%2,'") + jsQuoted(mode) + QStringLiteral("')"));
                }
            } else if (ancestors.contains(QLatin1String("TABLE"))) {
                QMenu *table = menu.addMenu(tr("表格"));
                table->setLayoutDirection(Qt::LeftToRight);
                addStatement(table, tr("上方插入行"), QStringLiteral("insertTableRow(%1,%2,'above')"));
                addStatement(table, tr("下方插入行"), QStringLiteral("insertTableRow(%1,%2,'below')"));
                addStatement(table, tr("左边插入列"), QStringLiteral("insertTableColumn(%1,%2,'left')"));
                addStatement(table, tr("右边插入列"), QStringLiteral("insertTableColumn(%1,%2,'right')"));
                addStatement(table, tr("删除当前行"), QStringLiteral("deleteRow(%1,%2)"));
                addStatement(table, tr("删除当前列"), QStringLiteral("deleteColumn(%1,%2)"));
                addStatement(table, tr("上移当前行"), QStringLiteral("shiftRow(%1,%2,'up')"));
                addStatement(table, tr("下移当前行"), QStringLiteral("shiftRow(%1,%2,'down')"));
                addStatement(table, tr("左移当前列"), QStringLiteral("shiftColumn(%1,%2,'left')"));
                addStatement(table, tr("右移当前列"), QStringLiteral("shiftColumn(%1,%2,'right')"));
                addStatement(table, tr("左对齐当前列"), QStringLiteral("alignColumn(%1,%2,'left')"));
                addStatement(table, tr("居中对齐当前列"), QStringLiteral("alignColumn(%1,%2,'center')"));
                addStatement(table, tr("右对齐当前列"), QStringLiteral("alignColumn(%1,%2,'right')"));
                addStatement(table, tr("删除表格"), QStringLiteral("deleteTable(%1,%2)"));
            } else {
                connect(menu.addAction(tr("表格")), &QAction::triggered, this, &PageSurface::tableRequested);
                connect(menu.addAction(tr("代码块")), &QAction::triggered, this, &PageSurface::codeBlock);
            }
            connect(menu.addAction(tr("链接")), &QAction::triggered, this, &PageSurface::link);
            connect(menu.addAction(tr("图片")), &QAction::triggered, this, &PageSurface::imageRequested);
            menu.exec(QCursor::pos());
        }));
}
