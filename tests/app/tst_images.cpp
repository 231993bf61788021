// Images as a user brings them into the whole window: a screenshot pasted with
// Ctrl+V in both modes, an untitled document, bad image data, a file dropped on
// the page, and Save As into another folder.

#include "support/windowtest.h"

#include "editor/imagedialog.h"
#include "settings/settings.h"

#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QRegularExpression>

using GuiTest::ModalAnswers;
using GuiTest::readFile;

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void pastedScreenshotIsKeptNextToTheDocument();
    void ctrlVPastesOnceOnThePress_data();
    void ctrlVPastesOnceOnThePress();
    void untitledDocumentIsSavedFirst();
    void badImageDataChangesNothing_data();
    void badImageDataChangesNothing();
    void droppedFileLandsAtThePointer();
    void dialogImageInTheFolderIsRelative();
    void saveAsIntoAnotherFolderKeepsImagesShowing();

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = files.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        return GuiTest::writeFile(path, bytes) ? path : QString();
    }
    bool openInPage(const QString &path)
    {
        w->js(QStringLiteral("document.body.innerHTML = ''; true"));
        return w->document()->open(path) && GuiTest::waitFor([this] { return !w->body().isEmpty(); });
    }
    // The caret at the end of the first paragraph, the page focused as after a click.
    bool caretInPage()
    {
        // Dialogs answered before may have taken the window's activation with them.
        w->window.activateWindow();
        if (!QTest::qWaitForWindowActive(&w->window))
            return false;
        QWidget *target = w->page()->view()->focusProxy();
        target->setFocus();
        w->js(QStringLiteral("document.body.focus(); var r = document.createRange();"
                             " r.selectNodeContents(document.querySelector('p')); r.collapse(false);"
                             " getSelection().removeAllRanges(); getSelection().addRange(r); true"));
        return GuiTest::waitFor([target] { return target->hasFocus(); });
    }
    QString savedSources()
    {
        return w->js(QStringLiteral("(function () { var t = document.createElement('template'); t.innerHTML = page.html();"
                                    " return Array.prototype.map.call(t.content.querySelectorAll('img'),"
                                    " function (i) { return i.getAttribute('src'); }).join('|'); })()")).toString();
    }
    bool imagesShown()
    {
        return w->js(QStringLiteral("document.images.length > 0 && Array.prototype.every.call(document.images,"
                                    " function (i) { return i.complete && i.naturalWidth > 0; })")).toBool();
    }

    std::unique_ptr<QTemporaryDir> home;
    QTemporaryDir files;
    std::unique_ptr<WindowHarness> w;
    QImage screenshot;
};

void TestImages::initTestCase()
{
    home = GuiTest::isolate();
    // Wider than any page: it must show at the page's width.
    screenshot = QImage(3000, 40, QImage::Format_RGB32);
    screenshot.fill(Qt::darkGreen);
    w = std::make_unique<WindowHarness>();
    QVERIFY(w->showAndWait());
    w->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w->window));
}

void TestImages::init()
{
    w->switchTo(false);
    w->document()->setModified(false);
    Settings::instance().setImageHandling(Settings::ImageHandling::KeepAddress);
}

void TestImages::cleanupTestCase()
{
    w->document()->setModified(false);
    w.reset();
}

void TestImages::pastedScreenshotIsKeptNextToTheDocument()
{
    const QString doc = write(QStringLiteral("shots/my notes.md"), "Before\n");
    QVERIFY(openInPage(doc));
    QApplication::clipboard()->setImage(screenshot);
    QVERIFY(caretInPage());
    QTest::keyClick(w->page()->view()->focusProxy(), Qt::Key_V, Qt::ControlModifier);
    QTRY_VERIFY(imagesShown());
    // Shown at the page's width; the file keeps its own.
    QVERIFY(w->js(QStringLiteral("document.images[0].getBoundingClientRect().width <= document.body.clientWidth")).toBool());

    const QStringList assets = QDir(files.filePath(QStringLiteral("shots/my notes.assets"))).entryList(QDir::Files);
    QCOMPARE(assets.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^image-\\d{8}-\\d{6}\\.png$")).match(assets.first()).hasMatch(),
             qPrintable(assets.first()));
    QImage stored(files.filePath(QStringLiteral("shots/my notes.assets/")) + assets.first(), "PNG");
    QCOMPARE(stored.size(), screenshot.size());

    w->action("actionSave")->trigger();
    const QString stem = QFileInfo(assets.first()).completeBaseName();
    const QByteArray expected = "Before![" + stem.toUtf8() + "](my%20notes.assets/" + assets.first().toUtf8() + ")\n";
    QTRY_COMPARE(readFile(doc), expected);

    // The folder moved elsewhere, the document reopened: the picture shows.
    QVERIFY(QDir().rename(files.filePath(QStringLiteral("shots")), files.filePath(QStringLiteral("moved"))));
    QVERIFY(openInPage(files.filePath(QStringLiteral("moved/my notes.md"))));
    QTRY_VERIFY(imagesShown());
    QCOMPARE(w->js(QStringLiteral("document.images[0].naturalWidth")).toInt(), screenshot.width());

    // In source mode the same key writes the Markdown at the cursor; the next name follows the series.
    QVERIFY(w->switchTo(true));
    w->editor()->moveCursor(QTextCursor::End);
    w->editor()->setFocus();
    QTest::keyClick(w->editor(), Qt::Key_V, Qt::ControlModifier);
    const QStringList both = QDir(files.filePath(QStringLiteral("moved/my notes.assets"))).entryList(QDir::Files, QDir::Name);
    QCOMPARE(both.size(), 2);
    QVERIFY(w->editor()->toPlainText().endsWith(
        QStringLiteral("![%1](my%20notes.assets/%2)").arg(QFileInfo(both.last()).completeBaseName(), both.last())));
}

void TestImages::ctrlVPastesOnceOnThePress_data()
{
    QTest::addColumn<bool>("controlFirst");
    QTest::newRow("V released first") << false;
    QTest::newRow("Ctrl released first") << true;
}

void TestImages::ctrlVPastesOnceOnThePress()
{
    QFETCH(bool, controlFirst);
    QVERIFY(openInPage(write(QStringLiteral("keys.md"), "Text\n")));
    QApplication::clipboard()->setText(QStringLiteral("PASTED"));
    QVERIFY(caretInPage());
    QWidget *target = w->page()->view()->focusProxy();
    const QString count = QStringLiteral("document.body.innerHTML.split('PASTED').length - 1");

    QTest::keyPress(target, Qt::Key_V, Qt::ControlModifier);
    QTRY_COMPARE(w->js(count).toInt(), 1); // on the press, before any release
    if (controlFirst) {
        QTest::keyRelease(target, Qt::Key_Control, Qt::ControlModifier);
        QTest::keyRelease(target, Qt::Key_V, Qt::NoModifier);
    } else {
        QTest::keyRelease(target, Qt::Key_V, Qt::ControlModifier);
    }
    // A paste the release asked for would have reached the program, and its
    // insertion the page, before this.
    QVERIFY(w->callsArrived());
    QCOMPARE(w->js(count).toInt(), 1);
}

void TestImages::untitledDocumentIsSavedFirst()
{
    w->action("actionNew")->trigger();
    w->js(QStringLiteral("document.body.innerHTML = '<p>Draft</p>'; true"));
    QVERIFY(caretInPage());
    {
        // Unreadable data is refused at once, without asking to save for it.
        auto *broken = new QMimeData;
        broken->setData(QStringLiteral("image/png"), "broken");
        QApplication::clipboard()->setMimeData(broken);
        ModalAnswers answers({QStringLiteral("否")});
        w->action("actionPaste")->trigger();
        QVERIFY(answers.seen.isEmpty());
        QCOMPARE(w->statusText(), QStringLiteral("剪贴板上的图片无法读取"));
    }
    QApplication::clipboard()->setImage(screenshot);
    {
        ModalAnswers answers({QStringLiteral("否")});
        w->action("actionPaste")->trigger();
        QTRY_COMPARE(answers.seen.size(), 1);
    }
    QTRY_COMPARE(w->statusText(), QStringLiteral("图片没有粘贴：文档还没有保存"));
    QVERIFY(w->document()->filePath().isEmpty());
    QCOMPARE(w->js(QStringLiteral("document.images.length")).toInt(), 0);

    const QString target = files.filePath(QStringLiteral("drafts/draft.md"));
    QVERIFY(QDir().mkpath(files.filePath(QStringLiteral("drafts"))));
    {
        ModalAnswers answers({QStringLiteral("是")}, target);
        w->action("actionPaste")->trigger();
        QTRY_COMPARE(w->document()->filePath(), target);
    }
    QTRY_VERIFY(imagesShown());
    QCOMPARE(QDir(files.filePath(QStringLiteral("drafts/draft.assets"))).entryList(QDir::Files).size(), 1);
    QVERIFY(savedSources().startsWith(QLatin1String("draft.assets/image-")));
}

void TestImages::badImageDataChangesNothing_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("assetsBlocked");
    QTest::addColumn<QString>("message");

    const QByteArray png = readFile(QStringLiteral(VELTRANE_SOURCE_DIR "/resources/logo.png"));
    QTest::newRow("unreadable") << QByteArray("\x89PNG not really") << false << "剪贴板上的图片无法读取";
    QTest::newRow("zero bytes") << QByteArray() << false << "剪贴板上的图片无法读取";
    QTest::newRow("assets folder unwritable") << png << true << "不能建立图片文件夹";
}

void TestImages::badImageDataChangesNothing()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, assetsBlocked);
    QFETCH(QString, message);

    const QString name = QStringLiteral("bad-%1").arg(QTest::currentDataTag());
    const QString folder = files.filePath(name);
    const QString doc = write(name + QStringLiteral("/doc.md"), "Kept\n");
    if (assetsBlocked)
        write(name + QStringLiteral("/doc.assets"), "a file where the folder should be");
    QVERIFY(openInPage(doc));
    const QString before = w->body();
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/png"), data);
    QApplication::clipboard()->setMimeData(mime);
    QVERIFY(caretInPage());
    QTest::keyClick(w->page()->view()->focusProxy(), Qt::Key_V, Qt::ControlModifier);

    QTRY_VERIFY2(w->statusText().startsWith(message), qPrintable(w->statusText()));
    QCOMPARE(w->body(), before);
    QVERIFY(!w->document()->isModified());
    // Nothing made: no assets folder, no image, the blocking file as it was.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), assetsBlocked ? 2 : 1);
    QVERIFY(!QFileInfo(folder + QStringLiteral("/doc.assets")).isDir());
}

void TestImages::droppedFileLandsAtThePointer()
{
    const QString doc = write(QStringLiteral("drop/doc.md"), "alpha beta\n\ngamma *delta*\n");
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(QDir().mkpath(files.filePath(QStringLiteral("drop/pics"))));
    QVERIFY(picture.save(files.filePath(QStringLiteral("drop/pics/red dot.png"))));
    QVERIFY(openInPage(doc));
    QVERIFY(caretInPage()); // the caret is in the first paragraph

    const QVariantList point = w->js(QStringLiteral(
        "var r = document.querySelector('em').getBoundingClientRect(); [r.left + 1, r.top + r.height / 2]")).toList();
    QCOMPARE(point.size(), 2);
    const double zoom = w->page()->view()->zoomFactor();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(files.filePath(QStringLiteral("drop/pics/red dot.png")))});
    const QPoint pos(qRound(point[0].toDouble() * zoom), qRound(point[1].toDouble() * zoom));
    // As a drag does it: the view takes the drag on entering, then the drop.
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->page()->view(), &enter);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->page()->view(), &drop);

    QTRY_COMPARE(w->js(QStringLiteral("document.images.length")).toInt(), 1);
    QCOMPARE(w->js(QStringLiteral("document.querySelectorAll('p')[1].innerHTML.replace(/<img[^>]*>/, '[IMG]')"
                                  ".replace(/<\\/?em>/g, '')")).toString(),
             QStringLiteral("gamma [IMG]delta"));
    QCOMPARE(savedSources(), QStringLiteral("pics/red%20dot.png")); // in the document's folder: relative
    QTRY_VERIFY(imagesShown());
}

void TestImages::dialogImageInTheFolderIsRelative()
{
    const QString doc = write(QStringLiteral("dialog/doc.md"), "text\n");
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(files.filePath(QStringLiteral("dialog/dot.png"))));
    QVERIFY(openInPage(doc));
    QVERIFY(caretInPage());
    w->action("actionImage")->trigger();
    ImageDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = w->window.findChild<ImageDialog *>()));
    // The dialog has the keyboard while the user types, as it does on screen.
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keyClicks(dialog->pathEdit(), files.filePath(QStringLiteral("dialog/dot.png")));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QTRY_COMPARE(savedSources(), QStringLiteral("dot.png"));
    QTRY_VERIFY(imagesShown());
}

void TestImages::saveAsIntoAnotherFolderKeepsImagesShowing()
{
    QImage picture(5, 5, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(QDir().mkpath(files.filePath(QStringLiteral("from/report.assets"))));
    QVERIFY(QDir().mkpath(files.filePath(QStringLiteral("from/my pics"))));
    QVERIFY(picture.save(files.filePath(QStringLiteral("from/report.assets/chart.png"))));
    QVERIFY(picture.save(files.filePath(QStringLiteral("from/my pics/b c.png"))));
    const QByteArray markdown = "![](report.assets/chart.png)![](my%20pics/b%20c.png)\n";
    QVERIFY(openInPage(write(QStringLiteral("from/report.md"), markdown)));
    QTRY_VERIFY(imagesShown());

    const QString target = files.filePath(QStringLiteral("to/deeper/copy.md"));
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));
    {
        ModalAnswers answers({}, target);
        w->action("actionSaveAs")->trigger();
        QTRY_COMPARE(w->document()->filePath(), target);
    }
    // The text stays as written; the pictures came along to where it points.
    QTRY_COMPARE(readFile(target), markdown);
    QVERIFY(QFile::exists(files.filePath(QStringLiteral("to/deeper/report.assets/chart.png"))));
    QVERIFY(QFile::exists(files.filePath(QStringLiteral("to/deeper/my pics/b c.png"))));
    QTRY_VERIFY(w->js(QStringLiteral("document.images[0].src")).toString().contains(QLatin1String("/to/deeper/")));
    QTRY_VERIFY(imagesShown());
}

QTEST_MAIN(TestImages)
#include "tst_images.moc"
