#include "app/exportsource.h"

#include "editor/modeswitch.h"
#include "editor/pagesurface.h"
#include "settings/themes.h"

#include <QPrinter>

SurfaceExportSource::SurfaceExportSource(ModeSwitch *modes, QPrinter *printer) : modes(modes), printer(printer)
{
}

void SurfaceExportSource::markdown(const std::function<void(bool ok, const QString &markdown)> &done)
{
    modes->current()->markdown(done);
}

void SurfaceExportSource::pageHtml(const std::function<void(const QString &html)> &done)
{
    modes->page()->toHtml(done);
}

// An exported page is read and printed elsewhere: the light sheet unless one was chosen.
QString SurfaceExportSource::exportCss() const
{
    return Themes::printCss();
}

QString SurfaceExportSource::exportCodeTheme() const
{
    return Themes::codeTheme(Themes::printPath());
}

void SurfaceExportSource::pagePdf(const QPageLayout &layout, const std::function<void(const QByteArray &pdf)> &done)
{
    modes->page()->printToPdf(layout, done);
}

QPageLayout SurfaceExportSource::printLayout() const
{
    return printer->pageLayout();
}

void SurfaceExportSource::printPage(const std::function<void(bool ok)> &done)
{
    modes->page()->print(printer, done);
}
