#include "export/exporter.h"

#include "export/exporthtml.h"
#include "files/savefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPointer>
#include <QThreadPool>

namespace exporting {

namespace {

// The PDF the engine made, written to path; it made none when it is empty.
Result writePdf(const QString &path, const QByteArray &pdf)
{
    if (pdf.isEmpty())
        return {false, Exporter::tr("编辑页面没有生成PDF")};
    QString error;
    const bool ok = saveFile(path, pdf, &error);
    return {ok, error};
}

Result writeHtml(const QString &path, const QString &html)
{
    QString error;
    const bool ok = saveTextFile(path, html + QLatin1Char('\n'), &error);
    return {ok, error};
}

// The PDF export's paper: A4 portrait, the page's own margins only.
QPageLayout pdfLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                       QMarginsF(0, 0, 0, 0));
}

} // namespace

Exporter::FileType Exporter::fileType(Kind kind)
{
    switch (kind) {
    case Html:
        return {tr("导出HTML文件"), tr("HTML文件(*.html)"), QStringLiteral("html")};
    case Pdf:
        return {tr("导出PDF文件"), tr("Pdf文件(*.pdf)"), QStringLiteral("pdf")};
    case Docx:
        return {tr("导出Word文件"), tr("Word文件(*.docx)"), QStringLiteral("docx")};
    case Odt:
        return {tr("导出ODT文件"), tr("ODT文件(*.odt)"), QStringLiteral("odt")};
    case Print:
        break;
    }
    return {};
}

Exporter::Exporter(std::unique_ptr<ExportSource> source, QObject *parent)
    : QObject(parent), source(std::move(source))
{
    qRegisterMetaType<Kind>();
}

Exporter::~Exporter() = default;

void Exporter::setDocumentPath(const QString &path)
{
    documentFolder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

void Exporter::exportTo(Kind kind, const QString &target)
{
    switch (kind) {
    case Html:
        exportHtml(target);
        break;
    case Pdf:
        exportPdf(kind, target, pdfLayout());
        break;
    case Docx:
    case Odt:
        exportOffice(kind, target);
        break;
    case Print:
        // To a file: the engine's own PDF (text, fonts, vectors) as the PDF
        // export makes it, on the paper and margins chosen for printing.
        if (target.isEmpty())
            print();
        else
            exportPdf(kind, target, source->printLayout());
        break;
    }
}

void Exporter::exportHtml(const QString &target)
{
    const QString css = source->exportCss();
    const QString codeTheme = source->exportCodeTheme();
    source->pageHtml([self = QPointer<Exporter>(this), target, css, codeTheme](const QString &html) {
        if (self)
            self->finish(Html, target, writeHtml(target, makeStandaloneHtml(html, css, codeTheme)));
    });
}

void Exporter::exportPdf(Kind kind, const QString &target, const QPageLayout &layout)
{
    source->pagePdf(layout, [self = QPointer<Exporter>(this), kind, target](const QByteArray &pdf) {
        if (self)
            self->finish(kind, target, writePdf(target, pdf));
    });
}

void Exporter::print()
{
    source->printPage([self = QPointer<Exporter>(this)](bool ok) {
        if (self)
            self->finish(Print, QString(), {ok, QString()});
    });
}

void Exporter::exportOffice(Kind kind, const QString &target)
{
    const QString folder = documentFolder;
    source->markdown([self = QPointer<Exporter>(this), kind, target, folder](bool ok, const QString &markdown) {
        if (!self)
            return;
        // Without an answer there is no document to write, and an empty one
        // would pass for it.
        if (!ok) {
            self->finish(kind, target, {false, tr("编辑页面没有返回内容")});
            return;
        }
        // Writing a long document takes seconds (.odt most): the window stays
        // in use meanwhile, and the program waits for it before it ends.
        // The answer goes through the application: this may be gone by then.
        QThreadPool::globalInstance()->start([self, kind, target, folder, markdown] {
            const Result result = kind == Odt ? writeOdt(markdown, folder, target) : writeDocx(markdown, folder, target);
            QMetaObject::invokeMethod(qApp, [self, kind, target, result] {
                if (self)
                    self->finish(kind, target, result);
            }, Qt::QueuedConnection);
        });
    });
}

void Exporter::finish(Kind kind, const QString &target, const Result &result)
{
    if (result.ok) {
        emit exported(kind == Print ? tr("打印成功") : tr("导出成功"), kind);
        return;
    }
    const QString path = QDir::toNativeSeparators(target);
    if (kind == Print)
        emit failed(target.isEmpty() ? tr("打印失败") : tr("打印失败") + QStringLiteral(": %1 (%2)").arg(path, result.error));
    else if (kind == Pdf)
        emit failed(tr("导出失败") + QStringLiteral(": %1 (%2)").arg(path, result.error));
    else
        emit failed(tr("不能导出文件 %1: %2").arg(path, result.error));
}

} // namespace exporting
