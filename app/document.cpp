#include "app/document.h"

#include "app/documentfile.h"
#include "editor/editingsurface.h"
#include "files/filekind.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStandardPaths>
#include <QTimer>

namespace {
const int kBackupInterval = 10000;
const int kRecentFiles = 5;
// Other programs write a file in steps (truncate, write, rename): look once they are done.
const int kDiskSettle = 300;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

Document::Document(EditingSurface *surface, QObject *parent)
    : QObject(parent), surface(surface)
{
    runBackups(Settings::instance().autoBackup());
    connect(&Settings::instance(), &Settings::autoBackupChanged, this, &Document::runBackups);
    // The list is the settings', wherever it was changed.
    connect(&Settings::instance(), &Settings::recentFilesChanged, this, [this] { emit recentFilesChanged(recentFiles()); });
    watcher = new QFileSystemWatcher(this);
    diskCheck = new QTimer(this);
    diskCheck->setSingleShot(true);
    diskCheck->setInterval(kDiskSettle);
    connect(watcher, &QFileSystemWatcher::fileChanged, diskCheck, qOverload<>(&QTimer::start));
    connect(diskCheck, &QTimer::timeout, this, &Document::checkDisk);
}

Document::DiskState Document::DiskState::of(const QString &path, const QByteArray *bytes)
{
    DiskState state;
    state.path = path;
    const QFileInfo info(path);
    state.exists = info.exists();
    if (!state.exists)
        return state;
    state.size = info.size();
    state.modified = info.lastModified();
    if (bytes)
        state.hash = QCryptographicHash::hash(*bytes, QCryptographicHash::Sha1);
    return state;
}

void Document::DiskState::readHash()
{
    // Replaced by a pipe or a device: reading it could block or never end.
    if (isSpecialFile(path))
        return;
    QFile file(path);
    QCryptographicHash sha1(QCryptographicHash::Sha1);
    if (file.open(QIODevice::ReadOnly) && sha1.addData(&file))
        hash = sha1.result();
}

bool Document::DiskState::sameFile(const DiskState &other) const
{
    return path == other.path && exists == other.exists && size == other.size && modified == other.modified;
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
    if (!path.isEmpty())
        watcher->removePath(path);
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
}

bool Document::open(const QString &filePath)
{
    if (isSpecialFile(filePath)) {
        emit failed(tr("不能打开文件 %1: %2").arg(native(filePath), specialFileReason()));
        return false;
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        emit failed(tr("不能打开文件 %1: %2").arg(native(filePath), file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    // Written back as it was read: encoding, mark and line ends; the text has line feeds.
    TextFormat read;
    const QString text = documentText(bytes, &read);

    setPath(filePath);
    setModified(false);
    format = read;
    surface->setMarkdown(text);
    addRecentFile(filePath);
    // The hash of the file as stored (the text-mode read has changed its line ends on some platforms).
    DiskState onDisk = DiskState::of(filePath, nullptr);
    onDisk.readHash();
    watch(onDisk);

    if (!format.encoding.isEmpty() && !format.encoding.startsWith("UTF")) {
        emit notice(tr("文件 %1 不是 UTF-8 文本，已按 %2 编码读取，保存时仍以该编码存储。")
                        .arg(native(filePath), QString::fromLatin1(format.encoding)));
    }
    return true;
}

void Document::clear()
{
    setPath(QString());
    format = TextFormat();
    surface->setMarkdown(QString());
    setModified(false);
    known = DiskState();
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
    ++savesInFlight;
    surface->markdown([this, target](bool ok, const QString &markdown) {
        --savesInFlight;
        if (ok)
            write(target, markdown);
        else
            saveFailed(target, tr("编辑页面没有返回内容"));
    });
}

void Document::write(const QString &filePath, const QString &markdown)
{
    // Changed by another program since it was read or written here: the user decides.
    // Another program may keep the size and the time: the content decides.
    if (filePath == known.path) {
        DiskState onDisk = DiskState::of(filePath, nullptr);
        if (onDisk.exists) {
            onDisk.readHash();
            if (onDisk.hash != known.hash && !keepMineOver(onDisk)) {
                open(filePath);
                return;
            }
        }
    }
    if (!canEncode(markdown, format)) {
        emit notice(tr("文件 %1 含有 %2 编码不能存储的字符，已改以 UTF-8 保存。")
                        .arg(native(filePath), QString::fromLatin1(format.encoding)));
        format = TextFormat{false, format.lineEnd, QByteArray()};
    }
    const QByteArray bytes = documentBytes(markdown, format);
    const QString copies = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/copies");
    QString error;
    if (!writeDocumentFile(filePath, bytes, copies, &error)) {
        saveFailed(filePath, error);
        return;
    }
    watch(DiskState::of(filePath, &bytes));
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

void Document::runBackups(bool on)
{
    if (on && !backupTimer) {
        backupTimer = new QTimer(this);
        backupTimer->setObjectName(QStringLiteral("backupTimer"));
        connect(backupTimer, &QTimer::timeout, this, &Document::backupTick);
    }
    if (on)
        backupTimer->start(kBackupInterval);
    else if (backupTimer)
        backupTimer->stop();
}

void Document::backupTick()
{
    // Told at the first tick, before there is anything to lose, when backups cannot be written.
    if (!backupsChecked) {
        backupsChecked = true;
        if (!backups.isWritable())
            backupFailed();
    }
    if (!modified) {
        removeBackup();
        return;
    }
    if (!backupPending)
        return;
    // Cleared before the text is asked for, like the modified mark on saving.
    backupPending = false;
    surface->markdown([this](bool ok, const QString &markdown) {
        if (ok && backups.write(markdown, fileName(), path)) {
            emit message(tr("备份成功"));
            return;
        }
        backupPending = true; // the next tick tries again
        if (ok)
            backupFailed();
    });
}

void Document::backupFailed()
{
    // Said once: the ticks go on trying, and the first that works is reported as usual.
    if (backupWarned)
        return;
    backupWarned = true;
    emit notice(tr("不能写入备份文件夹 %1：未保存的修改现在没有备份").arg(native(backups.dir())));
}

void Document::watch(const DiskState &state)
{
    known = state;
    // Anew each time: a file replaced by a rename is a new file to watch.
    watcher->removePath(state.path);
    if (state.exists)
        watcher->addPath(state.path);
}

bool Document::keepMineOver(const DiskState &onDisk)
{
    resolving = true;
    const bool keep = !resolveConflict || resolveConflict(path);
    resolving = false;
    // The user has seen this version: the next save writes over it without asking again.
    if (keep)
        known = onDisk;
    return keep;
}

void Document::checkDisk()
{
    if (path.isEmpty() || known.path != path || resolving)
        return;
    // A save on its way compares before it writes.
    if (savesInFlight > 0) {
        diskCheck->start();
        return;
    }
    DiskState onDisk = DiskState::of(path, nullptr);
    if (onDisk.sameFile(known)) {
        watch(known);
        return;
    }
    if (!onDisk.exists) {
        // Gone: the text here is now the only copy, so it counts as unsaved.
        known.exists = false;
        setModified(true);
        emit message(tr("文件 %1 已在磁盘上被删除或移走").arg(native(path)));
        return;
    }
    onDisk.readHash();
    if (onDisk.hash == known.hash) {
        watch(onDisk);
        return;
    }
    if (!modified) {
        open(path);
        emit message(tr("文件 %1 已被其他程序修改，已重新载入").arg(native(path)));
        return;
    }
    if (keepMineOver(onDisk))
        watch(onDisk);
    else
        open(path);
}

void Document::removeBackup()
{
    if (backups.remove())
        emit message(tr("备份已删除"));
}

QStringList Document::backupsToOffer() const
{
    QStringList paths;
    for (const QFileInfo &info : BackupStore::listForRecovery(backups.dir()))
        paths << info.filePath();
    return paths;
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
    // Taken by another window since it was offered.
    if (!backups.adopt(backupPath))
        return false;
    // The backup's own document, untitled when its file is gone (never a file
    // opened meanwhile); the path first, so that the page resolves images against it.
    const bool sourceExists = !restored.srcPath.isEmpty() && QFileInfo::exists(restored.srcPath);
    setPath(sourceExists ? QFileInfo(restored.srcPath).filePath() : QString());
    setModified(true);
    format = TextFormat();
    if (sourceExists) {
        QFile source(path);
        if (source.open(QIODevice::ReadOnly))
            format = textFormatOf(source.read(1 << 16));
    }
    surface->setMarkdown(restored.markdown);
    if (sourceExists) {
        DiskState onDisk = DiskState::of(path, nullptr);
        onDisk.readHash();
        watch(onDisk);
    }
    return true;
}
