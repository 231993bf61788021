#ifndef BACKUPOFFER_H
#define BACKUPOFFER_H

#include <QCoreApplication>
#include <QStringList>

class QWidget;

// The start-up offer of unsaved work that windows left in backups.
class BackupOffer
{
    Q_DECLARE_TR_FUNCTIONS(BackupOffer)

public:
    // Asks whether to continue from a backup, and from which when there are
    // several; the one chosen, or empty when the user declines.
    static QString choose(QWidget *parent, const QStringList &backups);
};

#endif // BACKUPOFFER_H
