#include "net/http_reply_reader.h"

#include <algorithm>

namespace net {

namespace {

// The end of the line that starts at `from`, CRLF or a bare LF; -1 while it has not come.
qsizetype line_end(const QByteArray& text, qsizetype from) { return text.indexOf('\n', from); }

QByteArray without_cr(QByteArray line) {
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

// The blank line that ends a head: its offset and its length, or -1.
std::pair<qsizetype, qsizetype> head_end(const QByteArray& text) {
    for (qsizetype from = 0;;) {
        const qsizetype end = line_end(text, from);
        if (end < 0) return {-1, 0};
        if (end == from || (end == from + 1 && text[from] == '\r')) return {from, end + 1 - from};
        from = end + 1;
    }
}

bool no_body(int status) { return status == 204 || status == 304 || (status >= 100 && status < 200); }

}  // namespace

QByteArray HttpHead::field(const QByteArray& name) const {
    for (const auto& [field_name, value] : fields)
        if (field_name.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

bool HttpReplyReader::feed(const QByteArray& bytes) {
    if (stage_ == Stage::Failed) return false;
    if (stage_ == Stage::Done) return true;  // what follows a whole reply is not read
    pending_ += bytes;
    return advance();
}

bool HttpReplyReader::close() {
    if (stage_ == Stage::Failed) return false;
    if (stage_ == Stage::Head) return fail(Failure::Broken, "the connection ended within the reply's head");
    if (stage_ == Stage::Body && remaining_ < 0) {
        stage_ = Stage::Done;
        return true;
    }
    if (stage_ != Stage::Done) return fail(Failure::Broken, "the connection ended within the reply's body");
    return true;
}

bool HttpReplyReader::advance() {
    for (;;) {
        const Stage before = stage_;
        const qsizetype waiting = pending_.size();
        bool ok = true;
        switch (stage_) {
        case Stage::Head: ok = read_head(); break;
        case Stage::Body: ok = read_length_body(); break;
        case Stage::ChunkSize: ok = read_chunk_size(); break;
        case Stage::ChunkData: ok = read_chunk_data(); break;
        case Stage::ChunkEnd: ok = read_chunk_end(); break;
        case Stage::Trailer: ok = read_trailer(); break;
        case Stage::Done: return true;
        case Stage::Failed: return false;
        }
        if (!ok) return false;
        if (stage_ == before && pending_.size() == waiting) return true;  // needs more bytes
    }
}

bool HttpReplyReader::read_head() {
    const auto [end, blank] = head_end(pending_);
    if (end < 0) {
        if (pending_.size() > kMaxHead)
            return fail(Failure::TooLarge, QString("its head is longer than %1 bytes").arg(kMaxHead));
        return true;
    }
    if (end + blank > kMaxHead) return fail(Failure::TooLarge, QString("its head is longer than %1 bytes").arg(kMaxHead));
    const QByteArray text = pending_.left(end);
    pending_.remove(0, end + blank);
    if (!parse_head(text)) return false;
    if (head_.status >= 100 && head_.status < 200) {
        head_ = {};  // an interim reply: the real one follows
        return true;
    }
    return choose_framing();
}

bool HttpReplyReader::parse_head(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();  // after the end of the last line
    if (!parse_status_line(without_cr(lines.takeFirst()))) return false;
    for (const QByteArray& raw : lines) {
        const QByteArray line = without_cr(raw);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) return fail(Failure::Broken, "a header line of its reply has no name");
        head_.fields.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

bool HttpReplyReader::parse_status_line(const QByteArray& line) {
    const QList<QByteArray> parts = line.split(' ');
    bool number = false;
    const int status = parts.size() >= 2 ? parts[1].toInt(&number) : 0;
    if (!line.startsWith("HTTP/1.") || !number) return fail(Failure::Broken, "it is no HTTP reply");
    head_.status = status;
    const qsizetype code_start = line.indexOf(' ') + 1;
    const qsizetype reason_start = line.indexOf(' ', code_start);
    head_.reason = reason_start < 0 ? QByteArray() : line.mid(reason_start + 1);
    return true;
}

bool HttpReplyReader::choose_framing() {
    head_read_ = true;
    if (no_body(head_.status)) {
        stage_ = Stage::Done;
        return true;
    }
    if (head_.field("Transfer-Encoding").toLower().contains("chunked")) {
        stage_ = Stage::ChunkSize;
        return true;
    }
    const QByteArray length = head_.field("Content-Length");
    bool number = true;
    remaining_ = length.isEmpty() ? -1 : length.toLongLong(&number);
    if (!number || remaining_ < -1) return fail(Failure::Broken, "its Content-Length is no number");
    stage_ = remaining_ == 0 ? Stage::Done : Stage::Body;
    return true;
}

bool HttpReplyReader::read_length_body() {
    const qsizetype taken = remaining_ < 0 ? pending_.size() : std::min<qint64>(remaining_, pending_.size());
    body_ += pending_.left(taken);
    pending_.remove(0, taken);
    if (remaining_ < 0) return true;
    remaining_ -= taken;
    if (remaining_ == 0) stage_ = Stage::Done;
    return true;
}

bool HttpReplyReader::read_chunk_size() {
    const qsizetype end = line_end(pending_, 0);
    if (end < 0 || end > kMaxChunkLine) {
        if (end > kMaxChunkLine || pending_.size() > kMaxChunkLine)
            return fail(Failure::Broken, "a chunk of its body has a size line that does not end");
        return true;
    }
    const QByteArray size = without_cr(pending_.left(end)).split(';').first().trimmed();
    pending_.remove(0, end + 1);
    bool number = false;
    remaining_ = size.toLongLong(&number, 16);
    if (!number || remaining_ < 0) return fail(Failure::Broken, "a chunk of its body has no size");
    stage_ = remaining_ == 0 ? Stage::Trailer : Stage::ChunkData;
    return true;
}

bool HttpReplyReader::read_chunk_data() {
    const qsizetype taken = std::min<qint64>(remaining_, pending_.size());
    body_ += pending_.left(taken);
    pending_.remove(0, taken);
    remaining_ -= taken;
    if (remaining_ == 0) stage_ = Stage::ChunkEnd;
    return true;
}

bool HttpReplyReader::read_chunk_end() {
    const qsizetype end = line_end(pending_, 0);
    if (end < 0) return pending_.size() <= 1 || fail(Failure::Broken, "a chunk of its body is longer than it said");
    if (!without_cr(pending_.left(end)).isEmpty())
        return fail(Failure::Broken, "a chunk of its body is longer than it said");
    pending_.remove(0, end + 1);
    stage_ = Stage::ChunkSize;
    return true;
}

// Trailer fields after the last chunk are not kept; the blank line ends the reply.
bool HttpReplyReader::read_trailer() {
    const qsizetype end = line_end(pending_, 0);
    if (end < 0) {
        return pending_.size() <= kMaxHead ||
               fail(Failure::TooLarge, QString("its trailer is longer than %1 bytes").arg(kMaxHead));
    }
    const bool blank = without_cr(pending_.left(end)).isEmpty();
    pending_.remove(0, end + 1);
    if (blank) stage_ = Stage::Done;
    return true;
}

bool HttpReplyReader::fail(Failure failure, const QString& problem) {
    stage_ = Stage::Failed;
    failure_ = failure;
    problem_ = problem;
    pending_.clear();
    body_.clear();
    return false;
}

}  // namespace net
