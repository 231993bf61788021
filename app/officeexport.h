#ifndef OFFICEEXPORT_H
#define OFFICEEXPORT_H

#include <QObject>

class EditingSurface;
class QWidget;

// The Word (.docx) and OpenDocument (.odt) exports of the open document. Both
// are written from its Markdown, asked of the surface in use as saving does,
// so they work in either mode. What happens is told through signals.
class OfficeExport : public QObject
{
    Q_OBJECT

public:
    enum Format { Docx, Odt };

    // dialogParent is the window the file dialogs belong to.
    OfficeExport(EditingSurface *surface, QWidget *dialogParent, QObject *parent = nullptr);

    // Writes the document to target, which is used as given, beside the
    // window; exported() or failed() follows.
    void exportTo(Format format, const QString &target);

public slots:
    // Ask for a target, then export to it.
    void exportDocx();
    void exportOdt();
    void setSurface(EditingSurface *surface);
    // Local images are found relative to the document's folder.
    void setDocumentPath(const QString &path);

signals:
    // The file is complete on disk.
    void exported(const QString &path);
    // Nothing was written; reason is the message for the user.
    void failed(const QString &reason);

private:
    void exportAs(Format format, const QString &caption, const QString &filter);

    EditingSurface *surface;
    QWidget *dialogParent;
    QString documentFolder;
};

#endif // OFFICEEXPORT_H
