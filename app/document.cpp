#include "app/document.h"

#include "app/exporthtml.h"
#include "editor/editingsurface.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QTextStream>
#include <QTimer>

namespace {
const int kBackupInterval = 10000;
const int kRecentFiles = 5;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

Document::Document(EditingSurface *surface, QObject *parent)
    : QObject(parent), surface(surface)
{
    // The timer follows the setting as it was at start.
    if (Settings::instance().autoSave()) {
        backupTimer = new QTimer(this);
        backupTimer->setObjectName(QStringLiteral("backupTimer"));
        connect(backupTimer, &QTimer::timeout, this, &Document::backupTick);
        backupTimer->start(kBackupInterval);
    }
}

void Document::setSurface(EditingSurface *surface)
{
    this->surface = surface;
}

void Document::follow(EditingSurface *surface)
{
    connect(surface, &EditingSurface::modificationChanged, this, &Document::setModified);
    connect(surface, &EditingSurface::changed, this, &Document::markChanged);
    connect(this, &Document::modifiedChanged, surface, &EditingSurface::setModified);
}

QString Document::fileName() const
{
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

QString Document::title() const
{
    return QStringLiteral("%2%1 %3")
        .arg(modified ? QStringLiteral("*") : QString())
        .arg(path.isEmpty() ? tr("[未保存]") : fileName())
        .arg(QStringLiteral(" -  ") + QCoreApplication::applicationName());
}

void Document::updateTitle()
{
    emit titleChanged(title());
}

void Document::setPath(const QString &newPath)
{
    if (newPath == path)
        return;
    path = newPath;
    emit pathChanged(path);
    updateTitle();
}

void Document::setModified(bool modified)
{
    backupPending = modified;
    if (modified != this->modified) {
        this->modified = modified;
        emit modifiedChanged(modified);
    }
    updateTitle();
}

void Document::markChanged()
{
    if (modified)
        backupPending = true;
}

QStringList Document::recentFiles() const
{
    // The list is kept at five; a hand-edited longer list shows its first five.
    return Settings::instance().recentFiles().mid(0, kRecentFiles);
}

void Document::addRecentFile(const QString &filePath)
{
    QStringList list = Settings::instance().recentFiles();
    list.removeOne(filePath);
    list.insert(0, filePath);
    while (list.size() > kRecentFiles)
        list.removeLast();
    Settings::instance().setRecentFiles(list);
    emit recentFilesChanged(recentFiles());
}

bool Document::open(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        emit failed(tr("不能打开文件 %1: %2").arg(native(filePath), file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QTextStream in(bytes);
    in.setCodec("UTF-8");
    const QString text = in.readAll();

    setPath(filePath);
    setModified(false);
    surface->setMarkdown(text);
    addRecentFile(filePath);

    // Bytes that are not UTF-8 cannot survive a save unchanged: say so before the user edits.
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0) {
        emit failed(tr("文件 %1 不是有效的 UTF-8 文本，无效的字节已被替换；保存时将以 UTF-8 存储。")
                         .arg(native(filePath)));
    }
    return true;
}

void Document::clear()
{
    setPath(QString());
    surface->setMarkdown(QString());
    setModified(false);
}

void Document::saveAs(const QString &filePath)
{
    setPath(filePath);
    save();
}

void Document::save()
{
    // The mark is cleared before the text is asked for, so that typing during
    // a save marks the document modified again.
    setModified(false);
    const QString target = path;
    surface->markdown([this, target](bool ok, const QString &markdown) {
        if (ok)
            write(target, markdown);
        else
            saveFailed(target, tr("编辑页面没有返回内容"));
    });
}

void Document::write(const QString &filePath, const QString &markdown)
{
    QString error;
    if (!writeTextFile(filePath, markdown, &error)) {
        saveFailed(filePath, error);
        return;
    }
    addRecentFile(filePath);
    removeBackup();
    emit saved(filePath);
}

void Document::saveFailed(const QString &filePath, const QString &reason)
{
    // Nothing was written: the document keeps its unsaved mark and its backup.
    setModified(true);
    emit failed(tr("不能保存文件 %1: %2").arg(native(filePath), reason));
}

void Document::backupTick()
{
    if (!modified) {
        removeBackup();
        return;
    }
    if (!backupPending)
        return;
    // Cleared before the text is asked for, like the modified mark on saving.
    backupPending = false;
    surface->markdown([this](bool ok, const QString &markdown) {
        if (ok && backups.write(markdown, fileName(), path))
            emit message(tr("备份成功"));
        else
            backupPending = true; // the next tick tries again
    });
}

void Document::removeBackup()
{
    if (backups.remove())
        emit message(tr("备份已删除"));
}

QString Document::backupToOffer() const
{
    const QFileInfoList found = BackupStore::listForRecovery(backups.dir());
    return found.isEmpty() ? QString() : found.first().filePath();
}

bool Document::restoreBackup(const QString &backupPath)
{
    const BackupContent restored = BackupStore::read(backupPath);
    if (restored.status == BackupContent::Unreadable)
        return false;
    if (restored.status != BackupContent::Ok) {
        // The file stays for the backup manager; start-up goes on as without a backup.
        emit failed(tr("备份文件已损坏，请查看备份管理。"));
        return false;
    }
    // The backup's own document, untitled when its file is gone (never a file
    // opened meanwhile); the path first, so that the page resolves images against it.
    const bool sourceExists = !restored.srcPath.isEmpty() && QFileInfo::exists(restored.srcPath);
    setPath(sourceExists ? QFileInfo(restored.srcPath).filePath() : QString());
    setModified(true);
    surface->setMarkdown(restored.markdown);
    backups.adopt(backupPath);
    return true;
}
