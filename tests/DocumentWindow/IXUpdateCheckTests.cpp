// The update check against a local server: the request it sends, how each reply is read,
// failed and silent checks, the transfer timeout, and one request at a time.
#include "DocumentViews/IXActionItem.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXUpdateCheck.h"
#include "IXShellTestSupport.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Answers each POST it reads whole with a scripted reply: an HTTP status and a body sent in
// pieces, one every 50 ms; or no answer at all.
class UpdateServer : public QObject {
public:
    int status = 200;
    QList<QByteArray> pieces;
    bool answers = true;
    QList<QByteArray> requests;

    UpdateServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/update-check").arg(m_server.serverPort())); }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QByteArray head = buffer.left(end).toLower();
        const qsizetype at = head.indexOf("content-length:");
        const int length = at < 0 ? 0 : head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toInt();
        if (buffer.size() < end + 4 + length) return;
        requests += buffer;
        buffer.clear();
        if (!answers) return;
        const QByteArray body = pieces.join();
        socket->write("HTTP/1.1 " + QByteArray::number(status)
                      + " Reply\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\nConnection: close\r\n\r\n");
        int delay = 0;
        for (const QByteArray& piece : pieces) {
            QTimer::singleShot(delay, socket, [socket, piece] {
                socket->write(piece);
                socket->flush();
            });
            delay += 50;
        }
        QTimer::singleShot(delay, socket, [socket] { socket->disconnectFromHost(); });
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

class UpdateCheckTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        check.setEndpoint(server.url());
        check.setTransferTimeout(2000);
        for (const char* scheme : {"http", "https", "javascript", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &browser, "open");
    }
    void TearDown() override
    {
        for (const char* scheme : {"http", "https", "javascript", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    // Runs one check to its end.
    void run(bool requested)
    {
        QSignalSpy finished(&check, &IXUpdateCheck::checkFinished);
        check.checkAvailaibleUpdate(requested);
        if (finished.isEmpty()) EXPECT_TRUE(finished.wait(5000));
    }

    QStringList alertTitles() const
    {
        QStringList titles;
        for (const auto& alert : dialogs.alerts) titles += alert.title;
        return titles;
    }

    static QString text(const char* key) { return PLLocalizedStrings::string(QString::fromLatin1(key)); }

    UpdateServer server;
    IXUpdateCheck check;
    FakeDialogs dialogs;
    RecordingURLHandler browser;
};

TEST_F(UpdateCheckTest, SendsOneFormEncodedPost)
{
    server.pieces = {"OK"};
    run(false);
    ASSERT_EQ(server.requests.size(), 1);
    const QByteArray request = server.requests.front();
    const QByteArray body
        = "ProgName=Ideaflux&Build=" + QByteArray::number(IXPreferences::bundleBuildNumber()) + "&Language=0";
    EXPECT_TRUE(request.startsWith("POST /update-check HTTP/1.1\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n"))
        << request.toStdString();
    EXPECT_TRUE(request.endsWith("\r\n\r\n" + body)) << request.toStdString();
    // Values are percent-encoded, so none can add a field.
    EXPECT_EQ(IXUpdateCheck::requestBody(QStringLiteral("Idea flux&Build=1"), QStringLiteral("27+ü"), 3),
              QByteArray("ProgName=Idea%20flux%26Build%3D1&Build=27%2B%C3%BC&Language=3"));
}

TEST_F(UpdateCheckTest, RepliesAreReadWholeAndOnlyWebAddressesOffered)
{
    struct Case {
        const char* name;
        int status;
        QList<QByteArray> pieces;
        bool requested;
        QStringList alerts;
        QList<QUrl> opened;
    };
    const QUrl page(QStringLiteral("https://downloads.example.net/ideaflux/latest"));
    const Case cases[] = {
        {"no update, asked", 200, {"OK"}, true, {text("UpdatesNotAvailableTitle")}, {}},
        {"no update, at start-up", 200, {"OK\n"}, false, {}, {}},
        {"an address", 200, {page.toEncoded()}, true, {text("UpdatesAvailableTitle")}, {page}},
        {"an address in two pieces, at start-up",
         200,
         {"  https://downloads.example.net/", "ideaflux/latest\r\n"},
         false,
         {text("UpdatesAvailableTitle")},
         {page}},
        {"a script", 200, {"javascript:alert(1)"}, true, {text("UpdatesNotAvailableTitle")}, {}},
        {"a file", 200, {"file:///etc/passwd"}, true, {text("UpdatesNotAvailableTitle")}, {}},
        {"a relative address", 200, {"/download"}, true, {text("UpdatesNotAvailableTitle")}, {}},
        {"garbage", 200, {QByteArray("\x01\xfe\xff garbage", 12)}, true, {text("UpdatesNotAvailableTitle")}, {}},
        {"garbage at start-up", 200, {"%%%"}, false, {}, {}},
        {"a server error", 500, {"https://downloads.example.net/"}, true, {text("UpdateErrorConnectionTitle")}, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        dialogs.alerts.clear();
        browser.opened.clear();
        server.status = test.status;
        server.pieces = test.pieces;
        // The update alert's OK opens the page.
        dialogs.alertAnswers = {0};
        run(test.requested);
        dialogs.alertAnswers.clear();
        EXPECT_EQ(alertTitles(), test.alerts);
        EXPECT_EQ(browser.opened, test.opened);
        EXPECT_FALSE(check.isChecking());
    }
}

TEST_F(UpdateCheckTest, FailuresAreReportedOnlyWhenAsked)
{
    // A closed port.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    check.setEndpoint(QUrl(QStringLiteral("http://127.0.0.1:%1/update-check").arg(port)));
    run(false);
    EXPECT_TRUE(dialogs.alerts.isEmpty());
    dialogs.alertAnswers = {0};
    run(true);
    EXPECT_EQ(alertTitles(), QStringList {text("UpdateErrorConnectionTitle")});

    // No answer: the transfer gives up after its timeout.
    check.setEndpoint(server.url());
    check.setTransferTimeout(300);
    server.answers = false;
    dialogs.alerts.clear();
    dialogs.alertAnswers = {0};
    run(true);
    EXPECT_EQ(server.requests.size(), 1);
    EXPECT_EQ(alertTitles(), QStringList {text("UpdateErrorConnectionTitle")});

    // An endpoint that is no web address is never asked.
    check.setEndpoint(QUrl(QStringLiteral("file:///tmp/update")));
    dialogs.alerts.clear();
    dialogs.alertAnswers = {0};
    run(true);
    EXPECT_EQ(alertTitles(), QStringList {text("UpdateErrorConnectionTitle")});
}

TEST_F(UpdateCheckTest, TwoQuickCallsMakeOneRequest)
{
    server.pieces = {"OK"};
    QSignalSpy finished(&check, &IXUpdateCheck::checkFinished);
    check.checkAvailaibleUpdate(true);
    check.checkAvailaibleUpdate(true);
    EXPECT_TRUE(check.isChecking());
    dialogs.alertAnswers = {0, 0};
    ASSERT_TRUE(finished.wait(5000));
    spin(100);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(server.requests.size(), 1);
    EXPECT_EQ(alertTitles(), QStringList {text("UpdatesNotAvailableTitle")});
    // Once it ended, the next call asks again.
    run(false);
    EXPECT_EQ(server.requests.size(), 2);
}

TEST_F(UpdateCheckTest, TheDelegateChecksSilentlyAtStartUpAndLoudlyFromTheMenu)
{
    IXAppController& delegate = IXAppController::sharedController();
    IXUpdateCheck& shared = delegate.updateCheck();
    shared.setEndpoint(server.url());
    server.pieces = {"OK"};
    QSignalSpy finished(&shared, &IXUpdateCheck::checkFinished);

    // Off by default: the start-up asks nothing.
    delegate.applicationDidFinishLaunching();
    spin(50);
    EXPECT_TRUE(server.requests.isEmpty());
    IXPreferences::setValue(IXPreferences::CheckForUpdateOnStartKey, 1);
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(dialogs.alerts.isEmpty());

    QAction item(QStringLiteral("Check for Updates..."));
    IXActionItem::setAction(&item, "checkAvailaibleUpdate:");
    EXPECT_TRUE(delegate.validateMenuItem(&item));
    dialogs.alertAnswers = {0};
    delegate.checkAvailaibleUpdate(&item);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(alertTitles(), QStringList {text("UpdatesNotAvailableTitle")});
    shared.setEndpoint(QUrl());
}

}  // namespace
