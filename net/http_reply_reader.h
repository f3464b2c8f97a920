#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace net {

// The status line and header fields of one HTTP reply.
struct HttpHead {
    int status = 0;
    QByteArray reason;
    QList<std::pair<QByteArray, QByteArray>> fields;  // name and value, in the order they came

    // The value of the first field of that name, whatever its letter case; empty when none.
    QByteArray field(const QByteArray& name) const;
};

// Reads one HTTP/1.x reply from the bytes of its connection as they arrive: the head, bounded to
// kMaxHead, then the body framed by Content-Length, chunks or the end of the connection. Nothing
// it holds grows past the head's bound and one chunk-size line; body bytes wait in take_body().
class HttpReplyReader {
public:
    static constexpr qsizetype kMaxHead = 64 * 1024;
    static constexpr qsizetype kMaxChunkLine = 1024;

    enum class Failure { None, TooLarge, Broken };

    // Takes the next bytes of the connection; false once the reply has failed.
    bool feed(const QByteArray& bytes);
    // The connection has ended; false when the reply was not whole.
    bool close();

    bool head_complete() const { return head_read_; }
    bool finished() const { return stage_ == Stage::Done; }
    const HttpHead& head() const { return head_; }
    // The body bytes read since the last call.
    QByteArray take_body() { return std::exchange(body_, {}); }
    Failure failure() const { return failure_; }
    QString problem() const { return problem_; }

private:
    enum class Stage { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done, Failed };

    bool advance();
    bool read_head();
    bool parse_head(const QByteArray& text);
    bool parse_status_line(const QByteArray& line);
    bool choose_framing();
    bool read_length_body();
    bool read_chunk_size();
    bool read_chunk_data();
    bool read_chunk_end();
    bool read_trailer();
    bool fail(Failure failure, const QString& problem);

    Stage stage_ = Stage::Head;
    bool head_read_ = false;
    QByteArray pending_;  // arrived, not read yet
    HttpHead head_;
    QByteArray body_;
    qint64 remaining_ = -1;  // body or chunk bytes still to come; -1 until the connection ends
    Failure failure_ = Failure::None;
    QString problem_;
};

}  // namespace net
