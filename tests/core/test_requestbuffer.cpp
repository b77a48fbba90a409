// When a request read into memory is complete, and what the HTTP layer gets of it.
#include "core/RequestBuffer.h"

#include <QtTest>

using orbisk::RequestBuffer;
using State = RequestBuffer::State;
Q_DECLARE_METATYPE(RequestBuffer::State)

namespace {
const std::size_t kMaxHead = 64;
const std::size_t kMaxBody = 16;
} // namespace

class TestRequestBuffer : public QObject
{
    Q_OBJECT

private slots:
    void framing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<State>("state");

        QTest::newRow("nothing") << QByteArray() << State::Incomplete;
        QTest::newRow("head without its blank line")
            << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n") << State::Incomplete;
        QTest::newRow("bare line feeds never end a head")
            << QByteArray("GET / HTTP/1.1\nHost: a\n\n") << State::Incomplete;
        QTest::newRow("head without body") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n") << State::Complete;
        QTest::newRow("request line only") << QByteArray("GET / HTTP/1.1\r\n\r\n") << State::Complete;
        QTest::newRow("body still coming")
            << QByteArray("POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\n{}") << State::Incomplete;
        QTest::newRow("body complete") << QByteArray("POST / HTTP/1.1\r\ncontent-LENGTH:  2 \r\n\r\n{}")
                                       << State::Complete;
        QTest::newRow("zero length body")
            << QByteArray("POST / HTTP/1.1\r\nContent-Length: 0\r\n\r\n") << State::Complete;
        QTest::newRow("body at the limit")
            << "POST / HTTP/1.1\r\nContent-Length: 16\r\n\r\n" + QByteArray(16, 'x') << State::Complete;
        // Refused with 413 by the HTTP layer without waiting for the body.
        QTest::newRow("body announced over the limit")
            << QByteArray("POST / HTTP/1.1\r\nContent-Length: 17\r\n\r\n") << State::HandOver;
        QTest::newRow("length too large for a number")
            << QByteArray("POST / HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n") << State::HandOver;
        QTest::newRow("length not a number")
            << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1e3\r\n\r\n") << State::HandOver;
        QTest::newRow("negative length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n")
                                         << State::HandOver;
        QTest::newRow("two lengths") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\nx")
                                     << State::HandOver;
        QTest::newRow("chunked body") << QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n")
                                      << State::HandOver;
        QTest::newRow("head over the limit, unfinished")
            << "GET / HTTP/1.1\r\nX: " + QByteArray(int(kMaxHead), 'a') << State::HandOver;
        QTest::newRow("head over the limit, finished") << "GET / HTTP/1.1\r\nX: " + QByteArray(int(kMaxHead), 'a')
                + "\r\n\r\n" << State::HandOver;
        QTest::newRow("length named in a value only")
            << QByteArray("GET / HTTP/1.1\r\nX: Content-Length: 9\r\n\r\n") << State::Complete;
    }
    void framing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(State, state);
        // Whole, and a byte at a time: the blank line may arrive split across reads.
        RequestBuffer whole(kMaxHead, kMaxBody);
        QCOMPARE(whole.append(bytes.constData(), std::size_t(bytes.size())), state);
        RequestBuffer trickled(kMaxHead, kMaxBody);
        for (char byte : bytes)
            trickled.append(&byte, 1);
        QCOMPARE(trickled.state(), state);
    }

    void rangeHeadersAreDropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("request");

        QTest::newRow("no range") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n")
                                  << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
        QTest::newRow("range among others") << QByteArray("GET / HTTP/1.1\r\nRange: bytes=0-3\r\nHost: a\r\n\r\n")
                                            << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
        QTest::newRow("last header, any case, malformed")
            << QByteArray("GET / HTTP/1.1\r\nHost: a\r\nrAnGe : nonsense\r\n\r\n")
            << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
        QTest::newRow("several, body kept")
            << QByteArray("POST / HTTP/1.1\r\nRange: bytes=0-1\r\nContent-Length: 8\r\nRange: bytes=2-\r\n\r\nRange: x")
            << QByteArray("POST / HTTP/1.1\r\nContent-Length: 8\r\n\r\nRange: x");
        QTest::newRow("other names with range in them")
            << QByteArray("GET / HTTP/1.1\r\nIf-Range: x\r\nX-Range: y\r\n\r\n")
            << QByteArray("GET / HTTP/1.1\r\nIf-Range: x\r\nX-Range: y\r\n\r\n");
    }
    void rangeHeadersAreDropped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, request);
        RequestBuffer buffer(1024, 1024);
        QCOMPARE(buffer.append(bytes.constData(), std::size_t(bytes.size())), State::Complete);
        QCOMPARE(QByteArray::fromStdString(buffer.request()), request);
    }
};

QTEST_GUILESS_MAIN(TestRequestBuffer)
#include "test_requestbuffer.moc"
