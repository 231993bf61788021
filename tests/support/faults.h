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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <thread>

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

#ifdef Q_OS_UNIX
// A named pipe with a writer waiting at its other end: code that opens it
// reads nothing at once instead of blocking for good, so a test of code that
// must not read it fails rather than hangs. A reader sees the end of the pipe
// only after wasOpened() has become true.
class Pipe
{
public:
    explicit Pipe(const QString &path) : name(QFile::encodeName(path))
    {
        made = ::mkfifo(name.constData(), 0600) == 0;
        if (made)
            writer = std::thread([this] {
                const int fd = ::open(name.constData(), O_WRONLY);
                opened = true;
                if (fd >= 0)
                    ::close(fd);
            });
    }
    ~Pipe()
    {
        if (!made)
            return;
        // A reader of our own lets a writer that still waits in and out again.
        const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
        writer.join();
        if (fd >= 0)
            ::close(fd);
    }
    bool isMade() const { return made; }
    bool wasOpened() const { return opened; }

private:
    QByteArray name;
    bool made = false;
    std::atomic<bool> opened{false};
    std::thread writer;
};
#endif

} // namespace Faults

#endif // FAULTS_H
