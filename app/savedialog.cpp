#include "app/savedialog.h"

#include "app/messagebox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString withDefaultSuffix(const QString &path, const QString &suffix)
{
    // The same rule as the dialog's own: a name with no dot has no extension.
    if (path.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + suffix;
}

QString askSavePath(QWidget *parent, const QString &caption, const QString &filter, const QString &suffix)
{
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString chosen = dialog.selectedFiles().value(0);
    const QString path = withDefaultSuffix(chosen, suffix);
    // A desktop's own dialog may ignore the default suffix; then it has not asked
    // about replacing the file the name now stands for.
    if (path != chosen && QFileInfo::exists(path)
        && showMessageBox(QMessageBox::Warning, QObject::tr("提示"),
                          QObject::tr("%1 已存在，是否替换？").arg(QDir::toNativeSeparators(path)), MessageBoxYesNo)
            != QMessageBox::Yes)
        return QString();
    return path;
}
