#include "app/officeexport.h"

#include "app/savedialog.h"
#include "editor/editingsurface.h"
#include "export/documentexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

OfficeExport::OfficeExport(EditingSurface *surface, QWidget *dialogParent, QObject *parent)
    : QObject(parent), surface(surface), dialogParent(dialogParent)
{
}

void OfficeExport::setSurface(EditingSurface *surface)
{
    this->surface = surface;
}

void OfficeExport::setDocumentPath(const QString &path)
{
    documentFolder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

void OfficeExport::exportDocx()
{
    exportAs(Docx, tr("导出Word文件"), tr("Word文件(*.docx)"));
}

void OfficeExport::exportOdt()
{
    exportAs(Odt, tr("导出ODT文件"), tr("ODT文件(*.odt)"));
}

void OfficeExport::exportAs(Format format, const QString &caption, const QString &filter)
{
    const QString target = askSavePath(dialogParent, caption, filter,
                                       format == Odt ? QStringLiteral("odt") : QStringLiteral("docx"));
    if (!target.isEmpty())
        exportTo(format, target);
}

void OfficeExport::exportTo(Format format, const QString &target)
{
    const QString folder = documentFolder;
    surface->markdown([this, format, target, folder](bool ok, const QString &markdown) {
        // Without an answer there is no document to write, and an empty one
        // would pass for it.
        if (!ok) {
            emit failed(tr("不能导出文件 %1: %2").arg(native(target), tr("编辑页面没有返回内容")));
            return;
        }
        // Writing a long document takes seconds (.odt most): the window stays
        // in use meanwhile, and the program waits for it before it ends.
        // The answer goes through the application: this may be gone by then.
        QThreadPool::globalInstance()->start([self = QPointer<OfficeExport>(this), format, target, folder, markdown] {
            const exporting::Result result = format == Odt ? exporting::writeOdt(markdown, folder, target)
                                                           : exporting::writeDocx(markdown, folder, target);
            QMetaObject::invokeMethod(qApp, [self, target, result] {
                if (!self)
                    return;
                if (result.ok)
                    emit self->exported(target);
                else
                    emit self->failed(tr("不能导出文件 %1: %2").arg(native(target), result.error));
            }, Qt::QueuedConnection);
        });
    });
}
