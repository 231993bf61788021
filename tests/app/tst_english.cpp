// The English interface is complete: every text of the program has an English
// translation, and with the English catalogue no window, dialog, menu or bar
// shows Chinese. Exempt: the status bar's promotional link, which advertises a
// Chinese shop's coupons to the Chinese market, and the user's own document.

#include "support/windowtest.h"

#include "backup/backupstore.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextEdit>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

bool hasCjk(const QString &text)
{
    // Han, kana, hangul, CJK punctuation and full-width forms.
    static const QRegularExpression cjk(QStringLiteral(
        "[\\x{2E80}-\\x{9FFF}\\x{AC00}-\\x{D7AF}\\x{F900}-\\x{FAFF}\\x{FE30}-\\x{FE4F}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(cjk);
}

void addAction(QStringList &out, QAction *action)
{
    out << action->text() << action->toolTip() << action->statusTip();
    if (QMenu *menu = action->menu()) {
        out << menu->title();
        for (QAction *item : menu->actions())
            addAction(out, item);
    }
}

// Every text root shows or can show: titles, labels, buttons, fields, items,
// headers, tool tips and the actions of its menus and bars, hidden ones included.
QStringList textsOf(QWidget *root)
{
    QStringList out;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *widget : widgets) {
        if (widget->objectName() == QLatin1String("promoLabel") || widget->objectName() == QLatin1String("editor"))
            continue;
        out << widget->windowTitle() << widget->toolTip() << widget->statusTip() << widget->whatsThis();
        for (QAction *action : widget->actions())
            addAction(out, action);
        if (auto *w = qobject_cast<QAbstractButton *>(widget))
            out << w->text();
        if (auto *w = qobject_cast<QLabel *>(widget))
            out << w->text();
        if (auto *w = qobject_cast<QLineEdit *>(widget))
            out << w->text() << w->placeholderText();
        if (auto *w = qobject_cast<QComboBox *>(widget)) {
            for (int i = 0; i < w->count(); ++i)
                out << w->itemText(i);
        }
        if (auto *w = qobject_cast<QSpinBox *>(widget))
            out << w->prefix() << w->suffix() << w->specialValueText();
        if (auto *w = qobject_cast<QTextEdit *>(widget))
            out << w->toPlainText();
        if (auto *w = qobject_cast<QMessageBox *>(widget))
            out << w->text() << w->informativeText();
        if (auto *w = qobject_cast<QAbstractItemView *>(widget); w && w->model()) {
            for (int c = 0; c < w->model()->columnCount(); ++c)
                out << w->model()->headerData(c, Qt::Horizontal).toString();
        }
    }
    return out;
}

} // namespace

class TestEnglish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextHasATranslation();
    void nothingChineseIsShown();
    void countsAndMessages();

private:
    std::unique_ptr<QTemporaryDir> home;
};

void TestEnglish::initTestCase()
{
    home = GuiTest::isolate();
}

void TestEnglish::everyTextHasATranslation()
{
    // The sources' texts as the translation tools see them, looked up in the catalogue.
    QString lupdate = QLibraryInfo::location(QLibraryInfo::BinariesPath) + QStringLiteral("/lupdate");
    if (!QFileInfo(lupdate).isExecutable())
        lupdate = QStandardPaths::findExecutable(QStringLiteral("lupdate"));
    if (lupdate.isEmpty())
        QSKIP("lupdate is not installed (qttools5-dev-tools)");
    const QString ts = home->filePath(QStringLiteral("sources.ts"));
    QProcess tool;
    // With the source folder to include from, classes in a namespace get their full name.
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                          QStringLiteral("-I"), QStringLiteral(VELTRANE_SOURCE_DIR)};
    for (const char *area : {"app", "editor", "settings", "backup", "export"})
        arguments << QStringLiteral(VELTRANE_SOURCE_DIR "/") + QLatin1String(area);
    tool.start(lupdate, arguments << QStringLiteral("-ts") << ts);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/english.qm")));
    QFile file(ts);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source, comment;
    bool numerus = false;
    QStringList missing;
    int seen = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            ++seen;
            const QByteArray disambiguation = comment.toUtf8();
            const QString text = english.translate(context.toUtf8(), source.toUtf8(),
                                                   comment.isEmpty() ? nullptr : disambiguation.constData(),
                                                   numerus ? 1 : -1);
            if (text.isEmpty())
                missing << context + QStringLiteral(": ") + source;
        } else if (!xml.isStartElement()) {
            continue;
        } else if (xml.name() == QLatin1String("message")) {
            numerus = xml.attributes().value(QStringLiteral("numerus")) == QLatin1String("yes");
            source.clear();
            comment.clear();
        } else if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("comment")) {
            comment = xml.readElementText();
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY(seen > 100);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

void TestEnglish::nothingChineseIsShown()
{
    Settings::instance().setLanguage(Settings::Language::English);
    WindowHarness w;
    QVERIFY(w.showAndWait());
    QStringList found;
    auto check = [&found](const QString &where, QWidget *root) {
        for (const QString &text : textsOf(root)) {
            if (hasCjk(text))
                found << where + QStringLiteral(": ") + text;
        }
    };
    const auto walk = [&check](const QString &where) {
        return [where, &check](QWidget *widget) {
            check(where, widget);
            if (auto *dialog = qobject_cast<QDialog *>(widget))
                dialog->reject();
            else
                widget->close();
        };
    };

    // The window with its menus, tool bar, status bar and both bars.
    w.action("actionFind")->trigger();
    w.action("actionReplace")->trigger();
    check(QStringLiteral("window"), &w.window);

    // Every dialog the window opens, and the page's context menu.
    for (const char *action : {"actionSetting", "actionTable", "actionLink", "actionImage", "actionAbout", "actionLicenses"})
        QCOMPARE(GuiTest::throughModals([&] { w.action(action)->trigger(); }, {walk(QLatin1String(action))}).size(), 1);
    QVERIFY(QDir().mkpath(BackupStore::defaultDir()));
    QVERIFY(GuiTest::writeFile(BackupStore::defaultDir() + QStringLiteral("/untitled-1"),
                               BackupStore::serialize(QStringLiteral("kept"), QString())));
    const auto preview = [&check](QWidget *dialog) {
        check(QStringLiteral("backup manager"), dialog);
        dialog->findChild<QAbstractItemView *>()->selectionModel()->select(
            dialog->findChild<QAbstractItemView *>()->model()->index(0, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        dialog->findChild<QPushButton *>(QStringLiteral("previewButton"))->click();
    };
    QCOMPARE(GuiTest::throughModals([&] { w.action("actionBackup")->trigger(); },
                                    {preview, walk(QStringLiteral("backup preview")), walk(QStringLiteral("backup manager"))}),
             (QStringList{QStringLiteral("BackupManager"), QStringLiteral("BackupPreview"), QStringLiteral("BackupManager")}));
    QVERIFY(QDir(BackupStore::defaultDir()).removeRecursively()); // or the next window offers it
    w.document()->setModified(true);
    QCOMPARE(GuiTest::throughModals([&] { w.action("actionNew")->trigger(); }, {walk(QStringLiteral("message box"))}),
             QStringList{QStringLiteral("QMessageBox")});
    QCOMPARE(GuiTest::throughModals([&] { emit w.page()->view()->customContextMenuRequested(QPoint(40, 40)); },
                                    {walk(QStringLiteral("context menu"))}),
             QStringList{QStringLiteral("QMenu")});
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void TestEnglish::countsAndMessages()
{
    Settings::instance().setLanguage(Settings::Language::English);
    WindowHarness w;
    QVERIFY(w.showAndWait());
    auto *count = w.child<QLabel>("wordCountLabel");
    QCOMPARE(count->text(), QStringLiteral("0 words"));
    const char *const counts[][2] = {{"1", "1 word"}, {"2", "2 words"}, {"21", "21 words"}};
    for (const auto &pair : counts) {
        w.page()->bridge()->wordCount(QLatin1String(pair[0]));
        QCOMPARE(count->text(), QLatin1String(pair[1]));
    }
    w.action("actionZoomIn")->trigger();
    QCOMPARE(w.statusText(), QStringLiteral("Zoom 105%"));
    w.document()->setModified(true);
    w.document()->markChanged();
    w.document()->backupTick();
    QTRY_COMPARE(w.statusText(), QStringLiteral("Backup saved"));
}

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
