#ifndef EXPORTER_H
#define EXPORTER_H

#include "export/documentexport.h"

#include <QObject>
#include <QPageLayout>
#include <functional>
#include <memory>

namespace exporting {

// What the exports read of the open document, given by the window's side: the
// Markdown from the surface in use (either mode), and the page as the engine
// renders and prints it (WYSIWYG mode only).
class ExportSource
{
public:
    virtual ~ExportSource() = default;

    // The document's Markdown; ok is false when the surface gave no answer.
    virtual void markdown(const std::function<void(bool ok, const QString &markdown)> &done) = 0;
    // The page as the engine serialises it.
    virtual void pageHtml(const std::function<void(const QString &html)> &done) = 0;
    // The page's theme sheet and CodeMirror theme for an exported page.
    virtual QString exportCss() const = 0;
    virtual QString exportCodeTheme() const = 0;
    // The page as a PDF on layout; empty when the engine made none.
    virtual void pagePdf(const QPageLayout &layout, const std::function<void(const QByteArray &pdf)> &done) = 0;
    // The paper and margins chosen for printing.
    virtual QPageLayout printLayout() const = 0;
    // The page on the printer chosen; ok is false when it did not print.
    virtual void printPage(const std::function<void(bool ok)> &done) = 0;
};

// The exports of the open document, in five kinds: HTML and PDF of the page,
// Word and OpenDocument of the Markdown, and print. A file is written whole
// or not at all, and only once it is on disk is the export told done.
class Exporter : public QObject
{
    Q_OBJECT

public:
    enum Kind { Html, Pdf, Docx, Odt, Print };
    Q_ENUM(Kind)

    // What the save dialog of a file kind shows and the suffix a bare name gets.
    struct FileType
    {
        QString caption;
        QString filter;
        QString suffix;
    };
    static FileType fileType(Kind kind);

    explicit Exporter(std::unique_ptr<ExportSource> source, QObject *parent = nullptr);
    ~Exporter() override;

    // Writes the document as kind to target, used as given; exported() or
    // failed() follows. Print prints into target as a PDF on the paper chosen
    // for printing, or on the printer when target is empty.
    void exportTo(Kind kind, const QString &target);

public slots:
    // Local images of the Word and OpenDocument exports are found relative to
    // the document's folder.
    void setDocumentPath(const QString &path);

signals:
    // The file is complete on disk, or the page printed; message tells the user.
    // (The kind named in full, the name its registered type goes by.)
    void exported(const QString &message, exporting::Exporter::Kind kind);
    // Nothing was written; message tells the user why.
    void failed(const QString &message);

private:
    void exportHtml(const QString &target);
    void exportPdf(Kind kind, const QString &target, const QPageLayout &layout);
    void exportOffice(Kind kind, const QString &target);
    void print();
    void finish(Kind kind, const QString &target, const Result &result);

    std::unique_ptr<ExportSource> source;
    QString documentFolder;
};

} // namespace exporting

#endif // EXPORTER_H
