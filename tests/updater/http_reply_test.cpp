#include "updater/HttpReply.h"

#include "tests/support/GtestPrinters.h"

#include <gtest/gtest.h>

using namespace qelt::updater;

namespace {

ReplyHead headWith(int status, const QMap<QByteArray, QByteArray> &fields)
{
    ReplyHead h;
    h.status = status;
    h.fields = fields;
    return h;
}

// Feeds wire to a reader of head's framing in slices of step bytes. The body
// taken, whether the framing held, and whether the body was complete.
struct Fed {
    QByteArray body;
    bool ok = true;
    bool done = false;
    QByteArray left; // what stayed past the body's end
};
Fed feed(const ReplyHead &head, const QByteArray &wire, qsizetype step)
{
    BodyReader reader;
    Fed r;
    r.ok = reader.start(head, false);
    QByteArray raw;
    for (qsizetype at = 0; r.ok && at < wire.size(); at += step) {
        raw += wire.mid(at, step);
        r.ok = reader.take(&raw, &r.body);
    }
    r.done = reader.done();
    r.left = raw;
    return r;
}

const ReplyHead kChunked = headWith(200, {{"transfer-encoding", "chunked"}});

TEST(ReplyHead, StatusAndFieldsAreRead)
{
    ReplyHead h;
    const QByteArray wire = "HTTP/1.1 302 Found\r\nLocation: /a\r\nX-Two: 1\r\n"
                            "x-two: 2\r\nX-Folded: a\r\n  b\r\n\r\nbody";
    EXPECT_EQ(ParseReplyHead(wire, &h), wire.size() - 4);
    EXPECT_EQ(h.status, 302);
    EXPECT_EQ(h.fields.value("location"), "/a");
    EXPECT_EQ(h.fields.value("x-two"), "1, 2");
    EXPECT_EQ(h.fields.value("x-folded"), "a b");

    // Bare line feeds, no reason text, an empty field.
    EXPECT_EQ(ParseReplyHead("HTTP/1.0 204\nEmpty:\n\n", &h), 21);
    EXPECT_EQ(h.status, 204);
    EXPECT_TRUE(h.fields.contains("empty"));
}

TEST(ReplyHead, UnfinishedOrForeignHeadsAreTold)
{
    ReplyHead h;
    EXPECT_EQ(ParseReplyHead("", &h), 0);
    EXPECT_EQ(ParseReplyHead("HTTP/1.1 200 OK\r\nA: b\r\n", &h), 0);
    for (const QByteArray &wire :
         {QByteArray("<html>\r\n\r\n"), QByteArray("HTTP/1.1 2x0 OK\r\n\r\n"),
          QByteArray("HTTP/2 200\r\n\r\n"), QByteArray("HTTP/1.1 200 OK\r\nno colon\r\n\r\n"),
          QByteArray("HTTP/1.1 200 OK\r\nbad name: x\r\n\r\n"),
          QByteArray("HTTP/1.1 200 OK\r\n folded first\r\n\r\n")})
        EXPECT_EQ(ParseReplyHead(wire, &h), -1) << wire.constData();
    // A head that never ends is not kept growing.
    EXPECT_EQ(ParseReplyHead("HTTP/1.1 200 OK\r\n" + QByteArray(kMaxReplyHead, 'a'), &h), -1);
    EXPECT_EQ(ParseReplyHead("HTTP/1.1 200 OK\r\nA: " + QByteArray(kMaxReplyHead, 'a'), &h), -1);
}

TEST(BodyReader, ChunksGiveTheBodyHoweverTheBytesArrive)
{
    const QByteArray wire = "5\r\nHello\r\n2;name=value\r\n, \r\nA \r\n0123456789\r\n"
                            "0\r\nTrailer: x\r\n\r\nNEXT";
    for (const qsizetype step : {1, 2, 7, 1000}) {
        const Fed r = feed(kChunked, wire, step);
        EXPECT_TRUE(r.ok) << step;
        EXPECT_TRUE(r.done) << step;
        EXPECT_EQ(r.body, "Hello, 0123456789") << step;
        EXPECT_EQ(r.left, "NEXT") << step;
    }
    // Upper-case digits and leading zeros; bare line feeds.
    const Fed r = feed(kChunked, "00B\nHello world\n0\n\n", 3);
    EXPECT_TRUE(r.ok && r.done);
    EXPECT_EQ(r.body, "Hello world");
}

TEST(BodyReader, BrokenChunkFramingIsNeverAnEnd)
{
    const QByteArray valid = "5\r\nHello\r\n";
    for (const QByteArray &tail :
         {QByteArray("zz\r\nmore\r\n0\r\n\r\n"), QByteArray("-5\r\n"), QByteArray("0x5\r\n"),
          QByteArray("\r\n"), QByteArray("5 5\r\n"), QByteArray("1000000000000000\r\n"),
          QByteArray(5000, '1'), QByteArray("3\r\nabcdef\r\n")}) {
        for (const qsizetype step : {1, 4096}) {
            const Fed r = feed(kChunked, valid + tail, step);
            EXPECT_FALSE(r.ok) << tail.left(20).constData() << " " << step;
            EXPECT_FALSE(r.done) << tail.left(20).constData();
            EXPECT_TRUE(r.body.startsWith("Hello")) << tail.left(20).constData();
        }
    }
    // Cut short: not done, and the close does not make it so.
    for (const QByteArray &wire : {QByteArray("5\r\nHel"), QByteArray("5\r\nHello\r\n"),
                                   QByteArray("5\r\nHello\r\n0\r\n")}) {
        BodyReader reader;
        ASSERT_TRUE(reader.start(kChunked, false));
        QByteArray raw = wire;
        QByteArray body;
        EXPECT_TRUE(reader.take(&raw, &body));
        EXPECT_FALSE(reader.closed()) << wire.constData();
    }
}

TEST(BodyReader, DeclaredLengthEndsTheBody)
{
    const ReplyHead head = headWith(200, {{"content-length", "5, 5"}});
    EXPECT_EQ(feed(head, "HelloWorld", 3).body, "Hello");
    EXPECT_EQ(feed(head, "HelloWorld", 3).left, "World");
    EXPECT_TRUE(feed(head, "HelloWorld", 3).done);
    EXPECT_FALSE(feed(head, "Hell", 3).done);

    BodyReader reader;
    ASSERT_TRUE(reader.start(head, false));
    EXPECT_EQ(reader.declaredLength(), 5);
    EXPECT_FALSE(reader.closed());

    // Lengths that cannot be read, and codings that are not asked for.
    for (const auto &fields : {QMap<QByteArray, QByteArray>{{"content-length", "5, 6"}},
                               {{"content-length", "-1"}},
                               {{"content-length", "0x10"}},
                               {{"content-length", ""}},
                               {{"content-length", "99999999999999999999"}},
                               {{"transfer-encoding", "gzip, chunked"}}})
        EXPECT_FALSE(reader.start(headWith(200, fields), false)) << fields.first().constData();
}

TEST(BodyReader, BodiesWithoutFramingEndAtTheCloseOrAreNone)
{
    BodyReader reader;
    ASSERT_TRUE(reader.start(headWith(200, {}), false));
    EXPECT_EQ(reader.declaredLength(), -1);
    QByteArray raw = "all of it";
    QByteArray body;
    EXPECT_TRUE(reader.take(&raw, &body));
    EXPECT_FALSE(reader.done());
    EXPECT_TRUE(reader.closed());
    EXPECT_EQ(body, "all of it");

    for (const int status : {204, 304}) {
        ASSERT_TRUE(reader.start(headWith(status, {{"content-length", "5"}}), false));
        EXPECT_TRUE(reader.done()) << status;
    }
    ASSERT_TRUE(reader.start(headWith(200, {{"content-length", "5"}}), true));
    EXPECT_TRUE(reader.done());
}

} // namespace
