#include "app/appsettings.h"

#include <QMutex>
#include <QSettings>
#include <atomic>

QSettings *appSettings()
{
    static std::atomic<QSettings *> instance{nullptr};
    QSettings *settings = instance.load(std::memory_order_acquire);
    if (settings)
        return settings;

    static QMutex mutex;
    QMutexLocker locker(&mutex);
    settings = instance.load(std::memory_order_relaxed);
    if (!settings) {
        // A bare relative name: resolved against the working directory of the first use.
        settings = new QSettings(QStringLiteral("app.ini"), QSettings::IniFormat);
        instance.store(settings, std::memory_order_release);
    }
    return settings;
}
