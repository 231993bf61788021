#ifndef EXPORTSOURCE_H
#define EXPORTSOURCE_H

#include "export/exporter.h"

class ModeSwitch;
class QPrinter;

// The open document as the exports read it: the Markdown from the surface in
// use, the page from the editing page, and the printer the window's print
// dialog set up.
class SurfaceExportSource : public exporting::ExportSource
{
public:
    SurfaceExportSource(ModeSwitch *modes, QPrinter *printer);

    void markdown(const std::function<void(bool ok, const QString &markdown)> &done) override;
    void pageHtml(const std::function<void(const QString &html)> &done) override;
    QString exportCss() const override;
    QString exportCodeTheme() const override;
    void pagePdf(const QPageLayout &layout, const std::function<void(const QByteArray &pdf)> &done) override;
    QPageLayout printLayout() const override;
    void printPage(const std::function<void(bool ok)> &done) override;

private:
    ModeSwitch *modes;
    QPrinter *printer;
};

#endif // EXPORTSOURCE_H
