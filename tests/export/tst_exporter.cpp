// The five exports through the one Exporter, with a stand-in for the page and
// the surfaces: each writes its file whole and says so, or writes nothing and
// says why, in the words the user reads.

#include "export/exporter.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using exporting::ExportSource;
using exporting::Exporter;

namespace {

// Answers as the page does: later, from the event loop.
class FakeSource : public ExportSource
{
public:
    bool answers = true; // the page or surface gives its content
    QByteArray pdf = "%PDF-1.4 made by the engine";
    bool printed = true;
    QPageLayout chosenPaper{QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10)};
    QPageLayout askedLayout;

    void markdown(const std::function<void(bool, const QString &)> &done) override
    {
        later([=] { done(answers, answers ? QStringLiteral("# Title\n\ntext\n") : QString()); });
    }
    void pageHtml(const std::function<void(const QString &)> &done) override
    {
        later([=] { done(QStringLiteral("<html><head></head><body contenteditable=\"true\"><h1>Title</h1>"
                                        "<script>alert(1)</script></body></html>")); });
    }
    QString exportCss() const override { return QStringLiteral(".markdown-body { color: #123456; }"); }
    QString exportCodeTheme() const override { return QStringLiteral("default"); }
    void pagePdf(const QPageLayout &layout, const std::function<void(const QByteArray &)> &done) override
    {
        askedLayout = layout;
        later([=] { done(answers ? pdf : QByteArray()); });
    }
    QPageLayout printLayout() const override { return chosenPaper; }
    void printPage(const std::function<void(bool)> &done) override
    {
        later([=] { done(printed); });
    }

private:
    static void later(const std::function<void()> &call) { QTimer::singleShot(0, call); }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestExporter : public QObject
{
    Q_OBJECT

private slots:
    void eachKindWritesOrSaysWhy_data();
    void eachKindWritesOrSaysWhy();
};

void TestExporter::eachKindWritesOrSaysWhy_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("target"); // in the test's folder; empty prints on the printer
    QTest::addColumn<bool>("answers");   // the page (or surface) gives its content
    QTest::addColumn<QString>("message"); // %1 is the target as the user reads it
    QTest::addColumn<QByteArray>("start"); // of the file written

    QTest::newRow("html") << int(Exporter::Html) << "page.html" << true << "导出成功" << QByteArray("<html><head><meta");
    QTest::newRow("html, missing folder") << int(Exporter::Html) << "missing/page.html" << true << "不能导出文件 %1: "
                                          << QByteArray();
    QTest::newRow("pdf") << int(Exporter::Pdf) << "page.pdf" << true << "导出成功" << QByteArray("%PDF");
    QTest::newRow("pdf, none made") << int(Exporter::Pdf) << "page.pdf" << false << "导出失败: %1 (编辑页面没有生成PDF)"
                                    << QByteArray();
    QTest::newRow("word") << int(Exporter::Docx) << "report.docx" << true << "导出成功" << QByteArray("PK");
    QTest::newRow("odt, no answer") << int(Exporter::Odt) << "report.odt" << false
                                    << "不能导出文件 %1: 编辑页面没有返回内容" << QByteArray();
    QTest::newRow("odt, missing folder") << int(Exporter::Odt) << "missing/report.odt" << true << "不能导出文件 %1: "
                                         << QByteArray();
    QTest::newRow("print to file") << int(Exporter::Print) << "printed.pdf" << true << "打印成功" << QByteArray("%PDF");
    QTest::newRow("print to file, none made") << int(Exporter::Print) << "printed.pdf" << false
                                              << "打印失败: %1 (编辑页面没有生成PDF)" << QByteArray();
    QTest::newRow("print on the printer") << int(Exporter::Print) << "" << true << "打印成功" << QByteArray();
    QTest::newRow("printer fails") << int(Exporter::Print) << "" << false << "打印失败" << QByteArray();
}

void TestExporter::eachKindWritesOrSaysWhy()
{
    QFETCH(int, kind);
    QFETCH(QString, target);
    QFETCH(bool, answers);
    QFETCH(QString, message);
    QFETCH(QByteArray, start);
    QTemporaryDir folder;
    const QString path = target.isEmpty() ? QString() : folder.filePath(target);
    auto source = std::make_unique<FakeSource>();
    FakeSource *page = source.get();
    page->answers = answers;
    page->printed = answers;
    Exporter exporter(std::move(source));
    QSignalSpy exported(&exporter, &Exporter::exported);
    QSignalSpy failed(&exporter, &Exporter::failed);

    exporter.exportTo(Exporter::Kind(kind), path);
    QTRY_COMPARE(exported.size() + failed.size(), 1);
    const bool done = !start.isEmpty() || (target.isEmpty() && answers);
    const QString told = (done ? exported : failed).first().first().toString();
    const QString expected = message.contains(QLatin1String("%1")) ? message.arg(QDir::toNativeSeparators(path)) : message;
    if (expected.endsWith(QLatin1String(": ")))
        QVERIFY2(told.startsWith(expected), qPrintable(told));
    else
        QCOMPARE(told, expected);
    if (done) // told as a print, or as an export
        QCOMPARE(exported.first().at(1).value<Exporter::Kind>(), Exporter::Kind(kind));
    if (!path.isEmpty())
        QVERIFY2(readFile(path).startsWith(start) && QFile::exists(path) == done, qPrintable(path));

    // A PDF export is A4 without margins; a printed PDF takes the paper chosen for printing.
    if (kind == Exporter::Pdf)
        QVERIFY(page->askedLayout.isEquivalentTo(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())));
    if (kind == Exporter::Print && !path.isEmpty())
        QVERIFY(page->askedLayout.isEquivalentTo(page->chosenPaper));
    // An exported page is inert and keeps the theme it was given.
    if (kind == Exporter::Html && done) {
        const QString html = QString::fromUtf8(readFile(path));
        QVERIFY(!html.contains(QStringLiteral("<script")) && !html.contains(QStringLiteral("contenteditable")));
        QVERIFY(html.contains(QStringLiteral("color: #123456")) && html.endsWith(QLatin1Char('\n')));
    }
}

int main(int argc, char **argv)
{
    // The OpenDocument writer needs a GUI application, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestExporter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exporter.moc"
