#ifndef FAULTS_H
#define FAULTS_H

// Faults of the file system, made for real where the test runs as root: a small
// full disk (a tmpfs), a folder nothing can be created in (chattr +i). Root
// ignores permission bits, so those cannot stand in. Each helper says whether
// it could make its fault; tests skip when it could not.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace Faults {

inline bool isRoot()
{
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

inline bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A tmpfs of the given size (in KiB) on folder, unmounted when this goes.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, int kib) : folder(folder)
    {
        mounted = isRoot() && QDir().mkpath(folder)
            && run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                             QStringLiteral("size=%1k").arg(kib), QStringLiteral("tmpfs"), folder});
    }
    ~SmallDisk()
    {
        if (mounted)
            run(QStringLiteral("umount"), {QStringLiteral("-l"), folder});
    }
    bool isMounted() const { return mounted; }

    // Takes every free byte with one file.
    void fill()
    {
        QFile filler(folder + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

private:
    QString folder;
    bool mounted = false;
};

// chattr +i on path (no entry of a folder can be created, removed or renamed)
// until this goes.
class Immutable
{
public:
    explicit Immutable(const QString &path) : path(path)
    {
        made = isRoot() && run(QStringLiteral("chattr"), {QStringLiteral("+i"), path});
    }
    ~Immutable()
    {
        if (made)
            run(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
    bool isMade() const { return made; }

private:
    QString path;
    bool made = false;
};

} // namespace Faults

#endif // FAULTS_H
