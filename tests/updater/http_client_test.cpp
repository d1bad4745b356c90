#include "tests/support/Bounds.h"
#include "tests/support/LocalHttpServer.h"
#include "updater/HTTPClass.h"
#include "updater/modUpdate.h"

#include "tests/support/GtestPrinters.h"
#include "tests/support/TestEnv.h"
#include "tests/updater/ScriptPeer.h"
#include "tests/updater/TestCertificate.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QTimer>

#include <gtest/gtest.h>

#include <iterator>

#include <unistd.h>

using namespace qelt::updater;

namespace {

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every test is bounded in time: one that hangs ends the run.
        alarm(120);
        CancelRequest = false;
        UpdateMode = QStringLiteral("manual");
        LocalVersion = QStringLiteral("1.70.1050");
        ASSERT_TRUE(server.isListening());
    }
    void TearDown() override
    {
        CancelRequest = false;
        QSslConfiguration::setDefaultConfiguration(defaultSsl);
        alarm(0);
    }

    // Makes the test certificate trusted, as a real server's would be.
    void trustTestCertificate()
    {
        QSslConfiguration c = defaultSsl;
        c.addCaCertificate(QSslCertificate(QByteArray(kTestCertificatePem)));
        QSslConfiguration::setDefaultConfiguration(c);
    }
    static void serveTls(LocalHttpServer &s)
    {
        s.useTls(QSslCertificate(QByteArray(kTestCertificatePem)),
                 QSslKey(QByteArray(kTestPrivateKeyPem), QSsl::Rsa));
    }

    const QSslConfiguration defaultSsl = QSslConfiguration::defaultConfiguration();

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
    // What is fetched is run: plain http only on the loopback address.
    EXPECT_FALSE(http.OpenHTTP(QStringLiteral("http://updates.invalid")));
    EXPECT_FALSE(http.OpenHTTP(QStringLiteral("http://10.0.0.1:8080")));
    EXPECT_FALSE(http.OpenHTTP(QStringLiteral("http://localhost.example")));
    EXPECT_TRUE(http.OpenHTTP(QStringLiteral("https://updates.invalid:8443")));
    EXPECT_TRUE(http.OpenHTTP(QStringLiteral("http://127.0.0.1:8080")));
    EXPECT_TRUE(http.OpenHTTP(QStringLiteral("http://[::1]:8080")));
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
    // The user's folders are nobody's business: no referrer at all.
    EXPECT_FALSE(get.headers.contains("referer"));
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

TEST_F(HttpClientTest, LimitsEndTheTransferEarly)
{
    using F = HTTPClass::Failure;
    // Declared too large: refused before the body is read.
    server.routes["/declared"] = {200, {}, -1, false, false, {}, {}, 100 * 1024 * 1024};
    // No declared length (the end is the closing of the connection): cut
    // off as soon as the limit is passed.
    server.routes["/undeclared"] = {
        200, {}, -1, false, false, {}, "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(300 * 1024, 'x')};
    for (const char *path : {"/declared", "/undeclared"}) {
        server.bodyBytesSent = 0;
        HTTPClass http;
        http.maxBodyBytes = 64 * 1024;
        ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
        const QByteArray got = http.SendRequest(QString::fromLatin1(path));
        EXPECT_EQ(http.lastFailure(), F::TooLarge) << path;
        EXPECT_FALSE(http.lastSucceeded());
        EXPECT_LE(got.size(), 64 * 1024) << path;
        EXPECT_LT(server.bodyBytesSent, 32 * 1024 * 1024) << path;
    }
}

TEST_F(HttpClientTest, NoNewPieceWithinTheTimeIsAStall)
{
    using F = HTTPClass::Failure;
    const QByteArray body = bytes(10000);
    server.routes["/stall"] = {200, body, 3000};
    // One byte every 20 ms: never a whole piece within the time allowed.
    server.routes["/trickle"] = {200, body, 1024, false, false, {}, {}, -1, 20};
    for (const char *path : {"/stall", "/trickle"}) {
        HTTPClass http;
        http.stallTimeoutMs = 300;
        ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
        QElapsedTimer t;
        t.start();
        const QByteArray got = http.SendRequest(QString::fromLatin1(path));
        EXPECT_EQ(http.lastFailure(), F::Stalled) << path;
        EXPECT_LT(t.elapsed(), qelt::test::kAtOnceMs) << path;
        EXPECT_LE(got.size(), 3072) << path;
    }
}

TEST_F(HttpClientTest, RepliesThatAreNotWholeAreFailures)
{
    using F = HTTPClass::Failure;
    const QByteArray body = bytes(20000);
    const struct {
        const char *name;
        LocalHttpServer::Route route;
        F failure;
    } cases[] = {
        {"cut below the declared length", {200, body, 6000, false, true}, F::Incomplete},
        {"server error", {503, "busy"}, F::Status},
        {"redirect loop", {302, {}, -1, false, false, {"Location: /r"}}, F::Redirect},
    };
    for (const auto &c : cases) {
        server.routes["/r"] = c.route;
        HTTPClass http;
        ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
        http.SendRequest(QStringLiteral("/r"));
        EXPECT_EQ(http.lastFailure(), c.failure) << c.name;
    }
}

TEST_F(HttpClientTest, BodyReceiverGetsOnlyRealBodiesPieceByPiece)
{
    const QByteArray body = bytes(5000);
    server.routes["/ok"] = {200, body};
    HTTPClass http;
    QByteArray got;
    int calls = 0;
    http.onBody = [&](const QByteArray &piece) {
        ++calls;
        got += piece;
        return piece.size() == 1024 || got.size() == body.size();
    };
    ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
    EXPECT_TRUE(http.SendRequest(QStringLiteral("/ok")).isEmpty());
    EXPECT_TRUE(http.lastSucceeded());
    EXPECT_EQ(got, body);
    EXPECT_EQ(calls, 5);

    // An error page never reaches the receiver.
    calls = 0;
    http.SendRequest(QStringLiteral("/missing"));
    EXPECT_EQ(http.lastFailure(), HTTPClass::Failure::Status);
    EXPECT_EQ(calls, 0);

    // The receiver refusing a piece ends the transfer.
    http.onBody = [&](const QByteArray &) { return ++calls < 2; };
    http.SendRequest(QStringLiteral("/ok"));
    EXPECT_EQ(http.lastFailure(), HTTPClass::Failure::Refused);
    EXPECT_EQ(calls, 2);
}

TEST_F(HttpClientTest, RedirectsStayOnTheSameServerAndScheme)
{
    LocalHttpServer elsewhere;
    elsewhere.routes["/beta/betaver.txt"] = {200, "999.9,1"};
    server.routes["/moved"] = {200, "170.1051,1"};
    server.routes["/same"] = {302, {}, -1, false, false, {"Location: /moved"}};
    server.routes["/other"] = {
        302,   {},    -1,
        false, false, {"Location: " + elsewhere.baseUrl().toLatin1() + "/beta/betaver.txt"}};
    HTTPClass http;
    ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
    EXPECT_EQ(http.SendRequest(QStringLiteral("/same")), "170.1051,1");
    EXPECT_TRUE(http.lastSucceeded());

    http.SendRequest(QStringLiteral("/other"));
    EXPECT_EQ(http.lastFailure(), HTTPClass::Failure::Redirect);
    EXPECT_TRUE(elsewhere.requests.isEmpty());

    // From https down to http, even on the same host, is not followed.
    LocalHttpServer secure;
    serveTls(secure);
    trustTestCertificate();
    secure.routes["/ok"] = {200, "secure"};
    secure.routes["/down"] = {
        302,   {},    -1,
        false, false, {"Location: " + elsewhere.baseUrl().toLatin1() + "/beta/betaver.txt"}};
    ASSERT_TRUE(http.OpenHTTP(secure.baseUrl()));
    EXPECT_EQ(http.SendRequest(QStringLiteral("/ok")), "secure");
    EXPECT_TRUE(http.lastSucceeded());
    http.SendRequest(QStringLiteral("/down"));
    EXPECT_EQ(http.lastFailure(), HTTPClass::Failure::Redirect);
    EXPECT_TRUE(elsewhere.requests.isEmpty());
}

TEST_F(HttpClientTest, UntrustedCertificateIsRefused)
{
    LocalHttpServer secure;
    serveTls(secure);
    secure.routes["/beta/betaver.txt"] = {200, "999.9,1"};
    HTTPClass http;
    ASSERT_TRUE(http.OpenHTTP(secure.baseUrl()));
    EXPECT_TRUE(http.SendRequest(QStringLiteral("/beta/betaver.txt")).isEmpty());
    EXPECT_EQ(http.lastFailure(), HTTPClass::Failure::Insecure);
    EXPECT_TRUE(secure.requests.isEmpty());
}

// Writes text to a file of the test's own; its path.
QString scratchFile(const char *name, const char *text)
{
    const QString path = qelt::test::TestEnv::ScratchPath(QString::fromLatin1(name));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

// The proxy variables as the test found them, put back at its end.
class ProxyVariables {
public:
    ProxyVariables()
    {
        for (const char *name : kNames)
            m_saved << qgetenv(name);
    }
    ~ProxyVariables()
    {
        for (int i = 0; i < int(std::size(kNames)); ++i) {
            if (m_saved[i].isNull())
                qunsetenv(kNames[i]);
            else
                qputenv(kNames[i], m_saved[i]);
        }
    }

private:
    static constexpr const char *kNames[] = {"http_proxy", "https_proxy", "no_proxy"};
    QList<QByteArray> m_saved;
};

// The application-wide proxy setting as the test found it, put back at its
// end.
class ApplicationProxy {
public:
    ~ApplicationProxy()
    {
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(m_saved);
    }

private:
    const QNetworkProxy m_saved = QNetworkProxy::applicationProxy();
};

// Every connection is direct: neither the proxy variables (through Qt's
// system configuration) nor a proxy set for the whole application is used.
// A name that only the proxy could reach is not reached, the proxy sees no
// connection at all, and the loopback server still answers in full.
TEST_F(HttpClientTest, RequestsNeverGoThroughAProxy)
{
    const ProxyVariables keep;
    const ApplicationProxy keepApplicationProxy;
    ScriptPeer secure;
    ASSERT_TRUE(secure.start({"serve", "--version", "170.1051,1", "--tls",
                              scratchFile("cert.pem", kTestCertificatePem),
                              scratchFile("key.pem", kTestPrivateKeyPem)}))
        << secure.error().toStdString();
    ScriptPeer proxy;
    ASSERT_TRUE(proxy.start({"proxy"})) << proxy.error().toStdString();
    trustTestCertificate();
    const QByteArray proxyUrl = "http://127.0.0.1:" + QByteArray::number(proxy.port());
    qputenv("https_proxy", proxyUrl);
    qputenv("http_proxy", proxyUrl);
    qunsetenv("no_proxy");
    const QNetworkProxy recording(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"),
                                  proxy.port());

    for (const bool applicationWide : {false, true}) {
        SCOPED_TRACE(applicationWide ? "application proxy" : "proxy variables");
        if (applicationWide)
            QNetworkProxy::setApplicationProxy(recording);
        else
            QNetworkProxyFactory::setUseSystemConfiguration(true);

        HTTPClass http;
        // A bound on the name's lookup, far above what a failed one takes.
        http.stallTimeoutMs = 20000;
        ASSERT_TRUE(http.OpenHTTP(QStringLiteral("https://updates.invalid:%1").arg(secure.port())));
        EXPECT_TRUE(http.SendRequest(QStringLiteral("/beta/betaver.txt")).isEmpty());
        EXPECT_EQ(http.lastFailure(), HTTPClass::Failure::Network);

        server.routes["/beta/betaver.txt"] = {200, "170.1052,1"};
        ASSERT_TRUE(http.OpenHTTP(server.baseUrl()));
        EXPECT_EQ(http.SendRequest(QStringLiteral("/beta/betaver.txt")), "170.1052,1");
        EXPECT_TRUE(http.lastSucceeded());

        EXPECT_EQ(proxy.lines(), QStringList{QStringLiteral("port %1").arg(proxy.port())});
        EXPECT_FALSE(secure.lines().contains(QStringLiteral("request GET /beta/betaver.txt")));
    }
}

} // namespace
