// The link dialog and the address checks behind it.

#include "editor/addresses.h"
#include "editor/linkdialog.h"
#include "editor/pagebridge.h"
#include "support/guitest.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

class TestLinkDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isUrl_data();
    void isUrl();
    void isWindowsPath_data();
    void isWindowsPath();
    void isLinkTarget_data();
    void isLinkTarget();
    void newLinkEmitsTheInsertPayload();
    void editLinkEmitsTheModifyPayload();
    void invalidAddressKeepsTheDialogOpen();

private:
    std::unique_ptr<QTemporaryDir> workDir;
};

void TestLinkDialog::initTestCase()
{
    workDir = GuiTest::isolate();
}

void TestLinkDialog::isUrl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("host only") << "https://example.com" << true;
    QTest::newRow("path") << "http://a.bc/x?y=1&z=%20#frag" << true;
    QTest::newRow("inside words") << "see http://a.bc/x here" << true;
    QTest::newRow("capital host") << "https://Example.COM/Path" << true;
    QTest::newRow("sub domains, dash, port-less") << "https://my-site.docs.example.org/a/b" << true;
    QTest::newRow("no dot in host") << "http://localhost/" << false;
    QTest::newRow("one-letter top level") << "http://a.b/" << false;
    QTest::newRow("numeric top level") << "http://10.0.0.1/" << false;
    QTest::newRow("other scheme") << "ftp://example.com/" << false;
    QTest::newRow("no scheme") << "example.com/" << false;
    QTest::newRow("script") << "javascript:alert(1)" << false;
    QTest::newRow("empty") << "" << false;
}

void TestLinkDialog::isUrl()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(Addresses::isUrl(text), accepted);
}

void TestLinkDialog::isWindowsPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("forward slashes") << "C:/x/a.png" << true;
    QTest::newRow("back slashes, lower drive") << "d:\\pics\\my pic.png" << true;
    QTest::newRow("mixed, trailing") << "C:\\x/y\\" << true;
    QTest::newRow("drive only") << "C:" << true;
    QTest::newRow("unix path") << "/home/x/a.png" << false;
    QTest::newRow("relative") << "pics/a.png" << false;
    QTest::newRow("two-letter drive") << "CC:/x" << false;
    QTest::newRow("forbidden character") << "C:/x/a?.png" << false;
    QTest::newRow("part starting with a space") << "C:/ x" << false;
    QTest::newRow("url") << "file:///C:/x" << false;
}

void TestLinkDialog::isWindowsPath()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(Addresses::isWindowsPath(text), accepted);
}

void TestLinkDialog::isLinkTarget_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("relative path") << "docs/install.md" << true;
    QTest::newRow("parent folder") << "../README.md" << true;
    QTest::newRow("non-ASCII name") << "说明.md" << true;
    QTest::newRow("fragment") << "#installation" << true;
    QTest::newRow("absolute path") << "/usr/share/doc/a.md" << true;
    QTest::newRow("windows path") << "C:/docs/a.md" << true;
    QTest::newRow("mailto") << "mailto:me@example.org" << true;
    QTest::newRow("host without a dot, port") << "http://localhost:8080/" << true;
    QTest::newRow("web address, capital scheme") << "HTTPS://example.com/a?b=c#d" << true;
    QTest::newRow("mailto without an address") << "mailto:" << false;
    QTest::newRow("web address without a host") << "http:///x" << false;
    QTest::newRow("script") << "javascript:alert(1)" << false;
    QTest::newRow("data") << "data:text/html,<b>x</b>" << false;
    QTest::newRow("file scheme") << "file:///etc/passwd" << false;
    QTest::newRow("space inside") << "docs/my file.md" << false;
    QTest::newRow("quote") << "a\"b" << false;
    QTest::newRow("empty") << "" << false;
}

void TestLinkDialog::isLinkTarget()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(Addresses::isLinkTarget(text), accepted);
}

void TestLinkDialog::newLinkEmitsTheInsertPayload()
{
    PageBridge bridge;
    QSignalSpy link(&bridge, &PageBridge::linkAccepted);
    bridge.newLink(QStringLiteral("<b>chosen</b>"));
    QPointer<LinkDialog> dialog = bridge.currentLinkDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("设置超链接"));
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QVERIFY(!dialog->parentWidget());
    QCOMPARE(dialog->textEdit()->text(), QStringLiteral("<b>chosen</b>"));
    QCOMPARE(dialog->urlEdit()->text(), QString());

    dialog->urlEdit()->setText(QStringLiteral("https://example.com"));
    dialog->okButton()->click();
    QCOMPARE(link.count(), 1);
    const QJsonObject payload = link.first().first().toJsonObject();
    QCOMPARE(payload, (QJsonObject{{QStringLiteral("title"), QStringLiteral("<b>chosen</b>")},
                                   {QStringLiteral("url"), QStringLiteral("https://example.com")},
                                   {QStringLiteral("isModify"), false},
                                   {QStringLiteral("isATag"), true}}));
    QTRY_VERIFY(!dialog); // deleted on close
}

void TestLinkDialog::editLinkEmitsTheModifyPayload()
{
    PageBridge bridge;
    QSignalSpy link(&bridge, &PageBridge::linkAccepted);
    bridge.newLink(QStringLiteral("first"));
    QPointer<LinkDialog> first = bridge.currentLinkDialog();
    bridge.editLink(QStringLiteral("old"), QStringLiteral("http://a.bc/old"));
    QPointer<LinkDialog> dialog = bridge.currentLinkDialog();
    QVERIFY(dialog && dialog != first);
    QCOMPARE(dialog->textEdit()->text(), QStringLiteral("old"));
    QCOMPARE(dialog->urlEdit()->text(), QStringLiteral("http://a.bc/old"));
    dialog->textEdit()->setText(QStringLiteral("new"));
    dialog->okButton()->click();
    QCOMPARE(link.count(), 1);
    const QJsonObject payload = link.first().first().toJsonObject();
    QCOMPARE(payload.value(QStringLiteral("title")).toString(), QStringLiteral("new"));
    QCOMPARE(payload.value(QStringLiteral("url")).toString(), QStringLiteral("http://a.bc/old"));
    QCOMPARE(payload.value(QStringLiteral("isModify")).toBool(), true);
    first->close();
    QTRY_VERIFY(!first && !dialog);
}

void TestLinkDialog::invalidAddressKeepsTheDialogOpen()
{
    PageBridge bridge;
    QSignalSpy link(&bridge, &PageBridge::linkAccepted);
    bridge.newLink(QStringLiteral("t"));
    QPointer<LinkDialog> dialog = bridge.currentLinkDialog();
    for (const QString &url : {QStringLiteral("two words"), QStringLiteral("javascript:alert(1)"), QString()}) {
        dialog->urlEdit()->setText(url);
        dialog->okButton()->click();
        QCoreApplication::processEvents();
        QVERIFY(dialog && dialog->isVisible());
    }
    // Cancel closes it, even with a valid address typed.
    dialog->urlEdit()->setText(QStringLiteral("https://example.com/"));
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("取消"))
            button->click();
    }
    QTRY_VERIFY(!dialog);
    QCOMPARE(link.count(), 0);
}

QTEST_MAIN(TestLinkDialog)
#include "tst_linkdialog.moc"
