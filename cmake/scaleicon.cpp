// Build helper: writes the program's icon in the icon theme's sizes.
//   scaleicon <logo.png> <hicolor folder> <name> <size>...
// gives <hicolor folder>/<size>x<size>/apps/<name>.png for each size.

#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s logo.png hicolor-folder name size...\n", argv[0]);
        return 2;
    }
    const QImage logo(QString::fromLocal8Bit(argv[1]));
    if (logo.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString root = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (size <= 0 || !QDir().mkpath(folder)
            || !logo.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
