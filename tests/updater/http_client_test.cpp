#include "tests/support/LocalHttpServer.h"
#include "updater/HTTPClass.h"
#include "updater/modUpdate.h"

#include "tests/updater/GtestPrinters.h"
#include <QTimer>

#include <gtest/gtest.h>

using namespace qelt::updater;

namespace {

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CancelRequest = false;
        UpdateMode = QStringLiteral("manual");
        LocalVersion = QStringLiteral("1.70.1050");
        ASSERT_TRUE(server.isListening());
    }
    void TearDown() override { CancelRequest = false; }

    QByteArray bytes(qsizetype n)
    {
        QByteArray b(n, '\0');
        for (qsizetype i = 0; i < n; ++i)
            b[i] = char(i * 7 % 256);
        return b;
    }

    LocalHttpServer server;
};

TEST(HttpClassFields, UrlEncodeKeepsOnlyLettersAndDigits)
{
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("a b"), QStringLiteral("a%20b")},
        {QString(QChar(233)), QStringLiteral("%E9")},
        {QStringLiteral("-"), QStringLiteral("%2D")},
        {QStringLiteral("Az09"), QStringLiteral("Az09")},
        {QStringLiteral("a+b&c=d"), QStringLiteral("a%2Bb%26c%3Dd")},
        {QString(QChar(0x263A)), QStringLiteral("%3A")}, // low 8 bits only
        {QString(QChar(1)), QStringLiteral("%01")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HTTPClass::URLEncode(c.in), c.out) << c.in.toStdString();
}

TEST(HttpClassFields, NamesIgnoreCaseAndTheTableGrows)
{
    HTTPClass http;
    http.setFields(QStringLiteral("name1"), QStringLiteral("1"));
    http.setFields(QStringLiteral("Name1"), QStringLiteral("2"));
    EXPECT_EQ(http.Fields(QStringLiteral("NAME1")), QStringLiteral("2"));
    EXPECT_EQ(http.Fields(QStringLiteral("missing")), QString());
    for (int i = 0; i < 25; ++i)
        http.setFields(QStringLiteral("f%1").arg(i), QString::number(i * i));
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(http.Fields(QStringLiteral("F%1").arg(i)), QString::number(i * i));
}

TEST(HttpClassFields, OpenNeedsAUsableServer)
{
    HTTPClass http;
    EXPECT_FALSE(http.OpenHTTP(QString()));
    EXPECT_FALSE(http.OpenHTTP(QStringLiteral("ftp://127.0.0.1/")));
    EXPECT_FALSE(http.OpenHTTP(QStringLiteral("http://")));
    EXPECT_TRUE(http.OpenHTTP(QStringLiteral("updates.invalid")));
    http.CloseHTTP();
    EXPECT_FALSE(http.isOpen());
    // Nothing is sent without an open connection.
    EXPECT_TRUE(http.SendRequest(QStringLiteral("/x")).isEmpty());
    EXPECT_FALSE(http.lastSucceeded());
}

TEST_F(HttpClientTest, ReplyBodyComesBackByteForByteInPiecesOf1024)
{
    const struct {
        qsizetype size;
        int pieces;
    } cases[] = {{0, 0}, {1, 1}, {1024, 1}, {2500, 3}, {70000, 69}};
    for (const auto &c : cases) {
        const QByteArray body = bytes(c.size);
        server.routes["/beta/file.bin"] = {200, body};
        HTTPClass http;
        int pieces = 0;
        http.onPieceRead = [&] { ++pieces; };
        ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
        EXPECT_EQ(http.SendRequest(QStringLiteral("/beta/file.bin")), body) << c.size;
        EXPECT_TRUE(http.lastSucceeded());
        EXPECT_EQ(http.lastStatus(), 200);
        EXPECT_EQ(pieces, c.pieces) << c.size;
        http.CloseHTTP();
    }
}

TEST_F(HttpClientTest, GetCarriesTheFieldsAsQueryAndPostAsFormBody)
{
    server.routes["/p"] = {200, "ok"};
    HTTPClass http;
    http.setFields(QStringLiteral("a"), QStringLiteral("1"));
    http.setFields(QStringLiteral("b"), QStringLiteral("x y"));
    ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
    EXPECT_EQ(http.SendRequest(QStringLiteral("/p"), QStringLiteral("get"), {}, true), "ok");
    EXPECT_EQ(http.SendRequest(QStringLiteral("/p"), QStringLiteral("post")), "ok");
    ASSERT_EQ(server.requests.size(), 2);

    const auto &get = server.requests[0];
    EXPECT_EQ(get.method, "GET");
    EXPECT_EQ(get.target, "/p?a=1&b=x%20y");
    EXPECT_EQ(get.headers.value("user-agent"), "Zyv-WEB, manual, 1.70.1050");
    EXPECT_EQ(get.headers.value("pragma"), "no-cache");
    EXPECT_EQ(get.headers.value("referer"), OwnFolder().toUtf8());
    EXPECT_TRUE(get.body.isEmpty());

    const auto &post = server.requests[1];
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target, "/p");
    EXPECT_EQ(post.body, "a=1&b=x%20y");
    EXPECT_EQ(post.headers.value("content-type"), "application/x-www-form-urlencoded");
    EXPECT_FALSE(post.headers.contains("pragma"));
}

TEST_F(HttpClientTest, PathWithBlanksIsSentEncoded)
{
    server.routes["/beta/Upgrade%20Qelt.exe"] = {200, "MZ"};
    HTTPClass http;
    ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
    EXPECT_EQ(http.SendRequest(QStringLiteral("/beta/Upgrade Qelt.exe")), "MZ");
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_EQ(server.requests[0].target, "/beta/Upgrade%20Qelt.exe");
}

TEST_F(HttpClientTest, ErrorStatusAndRefusedConnectionAreNotSuccess)
{
    HTTPClass http;
    ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
    // The body of an error page still comes back, but is marked as failed.
    EXPECT_EQ(http.SendRequest(QStringLiteral("/nowhere")), "<html>Not Found</html>");
    EXPECT_FALSE(http.lastSucceeded());
    EXPECT_EQ(http.lastStatus(), 404);

    QTcpServer gone;
    ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
    const quint16 port = gone.serverPort();
    gone.close();
    ASSERT_TRUE(http.OpenHTTP(QStringLiteral("http://127.0.0.1:%1").arg(port)));
    EXPECT_TRUE(http.SendRequest(QStringLiteral("/beta/betaver.txt")).isEmpty());
    EXPECT_FALSE(http.lastSucceeded());
    EXPECT_EQ(http.lastStatus(), 0);
}

TEST_F(HttpClientTest, CancelStopsAfterTheCurrentPieceAndKeepsWhatWasRead)
{
    const QByteArray body = bytes(200 * 1024);
    server.routes["/big"] = {200, body};
    HTTPClass http;
    int pieces = 0;
    http.onPieceRead = [&] {
        if (++pieces == 3)
            CancelRequest = true;
    };
    ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
    const QByteArray got = http.SendRequest(QStringLiteral("/big"));
    EXPECT_EQ(pieces, 3);
    EXPECT_EQ(got, body.left(3 * 1024));
    EXPECT_FALSE(http.lastSucceeded());
}

TEST_F(HttpClientTest, StalledTransferEndsOnCancelOrClose)
{
    const QByteArray body = bytes(10000);
    server.routes["/stall"] = {200, body, 3000};
    for (const bool byClose : {false, true}) {
        CancelRequest = false;
        HTTPClass http;
        ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
        QTimer::singleShot(200, [&] {
            if (byClose)
                http.CloseHTTP();
            else
                CancelRequest = true;
        });
        const QByteArray got = http.SendRequest(QStringLiteral("/stall"));
        // Whole pieces only: the last 952 bytes never made a full piece.
        EXPECT_EQ(got, body.left(2048)) << byClose;
        EXPECT_FALSE(http.lastSucceeded());
    }
}

} // namespace
