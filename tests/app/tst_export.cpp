// Export of the editing page: the standalone HTML and the files each export writes.

#include "settings/settings.h"
#include "app/exporthtml.h"
#include "app/mainwindow.h"
#include "settings/themes.h"
#include "support/backuptest.h"
#include "support/mainwindowprobe.h"

#include <QRegularExpression>
#include <QtTest>

using BackupTest::ModalRecorder;
using BackupTest::readFile;

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sheetsAreInTheResources();
    void standaloneHtmlOfTheRealPage();
    void themeCssFollowsTheSetting();
    void htmlAndWordExportWriteOrWarn_data();
    void htmlAndWordExportWriteOrWarn();
    void pdfExportIsA4();
    void pdfWriteFailureIsReported();

private:
    QWebEnginePage *page() { return probe->ui()->webView->page(); }
    QString pageHtml();

    std::unique_ptr<QTemporaryDir> home;
    MainWindow *window = nullptr;
    std::unique_ptr<MainWindowProbe> probe;
};

void TestExport::initTestCase()
{
    home = GuiTest::isolate();
    window = new MainWindow;
    probe = std::make_unique<MainWindowProbe>(window);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(GuiTest::pageReady(page()), 30000);
    // The theme link is set when the page asks for its sheet.
    QTRY_VERIFY(GuiTest::runJs(page(), QStringLiteral("document.getElementById('themecss').href")).toString()
                    .contains(QStringLiteral("github-markdown-light.css")));

    emit probe->content().setHtmlSignal(QStringLiteral(
        "<h1>Export title</h1><p>Some <strong>bold</strong> text, 中文.</p>"
        "<pre><code>&lt;div id=\"keep\" contenteditable=\"true\"&gt;</code></pre>"));
    QTRY_VERIFY(GuiTest::runJs(page(), QStringLiteral("document.body.innerHTML")).toString()
                    .contains(QStringLiteral("Export title")));
}

void TestExport::cleanupTestCase()
{
    probe.reset();
    delete window;
}

QString TestExport::pageHtml()
{
    QString html;
    bool done = false;
    page()->toHtml([&](const QString &result) {
        html = result;
        done = true;
    });
    [&] { QTRY_VERIFY(done); }();
    return html;
}

void TestExport::sheetsAreInTheResources()
{
    for (const char *sheet : {":/mdgithub.css", ":/lib/codemirror/lib/codemirror.css",
                              ":/lib/codemirror/theme/idea.css", ":/my.css"}) {
        QFile file{QString::fromLatin1(sheet)};
        QVERIFY2(file.open(QIODevice::ReadOnly) && file.size() > 0, sheet);
    }
}

void TestExport::standaloneHtmlOfTheRealPage()
{
    const QString page = pageHtml();
    QVERIFY(page.contains(QStringLiteral("contenteditable=\"true\"")));
    QVERIFY(page.contains(QStringLiteral("id=\"themecss\"")));

    const QString theme = QStringLiteral("/* theme in use */ .markdown-body { color: #123456; }");
    const QString html = makeStandaloneHtml(page, theme);

    // Not editable, no scripts or linked sheets, no ids, nothing pointing into the program's folder.
    QVERIFY(!html.contains(QRegularExpression(QStringLiteral("<[^>]*contenteditable"))));
    QVERIFY(!html.contains(QStringLiteral("<script")));
    QVERIFY2(!html.contains(QStringLiteral("<link")), qPrintable(html.left(2000)));
    QVERIFY(!html.contains(QRegularExpression(QStringLiteral("<[^>]*\\sid=\""))));
    QVERIFY(!html.contains(Themes::folder()));
    QVERIFY(!html.contains(QStringLiteral("qrc:")));

    // One style block, closing the head, holding the theme and the program's sheets.
    QCOMPARE(html.count(QStringLiteral("<style>")), 1);
    QCOMPARE(html.count(QStringLiteral("</head>")), 1);
    QCOMPARE(html.count(QStringLiteral("</style>")), 1);
    QVERIFY(html.contains(QStringLiteral("</style></head>")));
    QVERIFY(html.contains(theme));
    QFile codeMirror(QStringLiteral(":/lib/codemirror/lib/codemirror.css"));
    QVERIFY(codeMirror.open(QIODevice::ReadOnly));
    QVERIFY(html.contains(QString::fromUtf8(codeMirror.readAll())));
    QVERIFY(html.indexOf(QStringLiteral(".cm-s-idea")) > html.indexOf(theme));

    // The document survives, including text that looks like markup.
    QVERIFY(html.contains(QStringLiteral("<h1>Export title</h1>")));
    QVERIFY(html.contains(QStringLiteral("中文")));
    QVERIFY(html.contains(QStringLiteral("&lt;div id=\"keep\" contenteditable=\"true\"&gt;")));
    QVERIFY(html.contains(QStringLiteral("<body class=\"markdown-body\">")));
}

void TestExport::themeCssFollowsTheSetting()
{
    QFile light(Themes::folder() + QStringLiteral("/github-markdown-light.css"));
    QVERIFY(light.open(QIODevice::ReadOnly));
    QCOMPARE(Themes::currentCss(), QString::fromUtf8(light.readAll()));
    QVERIFY(!Themes::currentCss().isEmpty());
    Settings::instance().setCssFile(QStringLiteral("no-such-theme.css"));
    QVERIFY(Themes::currentCss().isEmpty());
    Settings::instance().setCssFile(QString::fromLatin1(Themes::defaultTheme));
}

void TestExport::htmlAndWordExportWriteOrWarn_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("writable");
    QTest::newRow("html") << "on_actionHTML_triggered" << "page.html" << true;
    QTest::newRow("word") << "on_actionWordDocx_triggered" << "page.docx" << true;
    QTest::newRow("html, missing folder") << "on_actionHTML_triggered" << "page.html" << false;
    QTest::newRow("word, missing folder") << "on_actionWordDocx_triggered" << "page.docx" << false;
}

void TestExport::htmlAndWordExportWriteOrWarn()
{
    QFETCH(QString, slot);
    QFETCH(QString, name);
    QFETCH(bool, writable);
    const QString path = home->path() + (writable ? QStringLiteral("/") : QStringLiteral("/missing/")) + name;

    ModalRecorder answers({QStringLiteral("明白")});
    BackupTest::answerFileDialog(path);
    QVERIFY(QMetaObject::invokeMethod(window, slot.toLatin1().constData()));
    QTRY_COMPARE(answers.seen.size(), 1);
    if (writable) {
        QCOMPARE(answers.seen.first(), QStringLiteral("导出成功"));
        const QString written = QString::fromUtf8(readFile(path));
        QVERIFY(written.contains(QStringLiteral("<h1>Export title</h1>")));
        QVERIFY(written.contains(Themes::currentCss()));
        QVERIFY(!written.contains(QStringLiteral("<script")));
        QVERIFY(written.endsWith(QLatin1Char('\n')));
    } else {
        QVERIFY(answers.seen.first().contains(QStringLiteral("不能导出文件")));
        QVERIFY(answers.seen.first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
    }
}

void TestExport::pdfExportIsA4()
{
    const QString path = home->path() + QStringLiteral("/page.pdf");
    ModalRecorder answers({QStringLiteral("明白")});
    BackupTest::answerFileDialog(path);
    QVERIFY(QMetaObject::invokeMethod(window, "on_actionPDF_triggered"));
    QTRY_COMPARE_WITH_TIMEOUT(answers.seen.size(), 1, 30000);
    QCOMPARE(answers.seen.first(), QStringLiteral("导出成功"));
    const QByteArray pdf = readFile(path);
    QVERIFY(pdf.startsWith("%PDF"));
    // A4 portrait in points, with no margins taken off the page box.
    const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                                            .match(QString::fromLatin1(pdf.constData(), pdf.size()));
    QVERIFY(box.hasMatch());
    QCOMPARE(qRound(box.captured(1).toDouble()), 595);
    QCOMPARE(qRound(box.captured(2).toDouble()), 842);
}

void TestExport::pdfWriteFailureIsReported()
{
    const QString path = home->path() + QStringLiteral("/missing/page.pdf");
    ModalRecorder answers({QStringLiteral("明白")});
    BackupTest::answerFileDialog(path);
    QVERIFY(QMetaObject::invokeMethod(window, "on_actionPDF_triggered"));
    QTRY_COMPARE_WITH_TIMEOUT(answers.seen.size(), 1, 30000);
    QVERIFY(answers.seen.first().startsWith(QStringLiteral("导出失败")));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
