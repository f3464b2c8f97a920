#include "platform/wave_format.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr qint64 kRiffHeaderSize = 12;   // "RIFF", size, "WAVE"
constexpr qint64 kChunkHeaderSize = 8;   // id, size
constexpr qint64 kPlainFmtSize = 16;
constexpr qint64 kExtensibleFmtSize = 40;
constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatExtensible = 0xFFFE;
constexpr int kMinSampleRate = 4000;
constexpr int kMaxSampleRate = 192000;

// KSDATAFORMAT_SUBTYPE_PCM as it lies in the file.
constexpr std::array<unsigned char, 16> kPcmSubformat{
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
    0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct Chunk {
    qint64 offset = -1;   // of the body; -1 when the chunk is absent
    qint64 size = 0;      // body bytes present in the file
};

struct ChunkMap {
    Chunk fmt;
    Chunk data;
};

quint16 u16_at(const QByteArray& bytes, qint64 offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 u32_at(const QByteArray& bytes, qint64 offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

bool has_id(const QByteArray& bytes, qint64 offset, const char* id) {
    return std::memcmp(bytes.constData() + offset, id, 4) == 0;
}

// The first "fmt " and "data" chunks, each with the part of its body the file holds. A chunk
// that claims more than the file holds is the last one.
ChunkMap find_chunks(const QByteArray& bytes) {
    ChunkMap map;
    const qint64 end = bytes.size();
    qint64 offset = kRiffHeaderSize;
    while (offset + kChunkHeaderSize <= end) {
        const qint64 body = offset + kChunkHeaderSize;
        const qint64 declared = u32_at(bytes, offset + 4);
        const Chunk chunk{body, std::min(declared, end - body)};
        if (has_id(bytes, offset, "fmt ") && map.fmt.offset < 0) {
            map.fmt = chunk;
        } else if (has_id(bytes, offset, "data") && map.data.offset < 0) {
            map.data = chunk;
        }
        offset = body + declared + (declared & 1);   // bodies of odd size are padded
    }
    return map;
}

bool has_pcm_subformat(const QByteArray& bytes, const Chunk& fmt) {
    return fmt.size >= kExtensibleFmtSize &&
           std::memcmp(bytes.constData() + fmt.offset + 24, kPcmSubformat.data(),
                       kPcmSubformat.size()) == 0;
}

std::optional<WaveFormat::Sample> sample_for(int bits) {
    switch (bits) {
    case 8: return WaveFormat::Sample::UInt8;
    case 16: return WaveFormat::Sample::Int16;
    case 32: return WaveFormat::Sample::Int32;
    default: return std::nullopt;
    }
}

std::optional<WaveFormat> read_format(const QByteArray& bytes, const Chunk& fmt) {
    if (fmt.offset < 0 || fmt.size < kPlainFmtSize) {
        return std::nullopt;
    }
    const quint16 tag = u16_at(bytes, fmt.offset);
    const int channels = u16_at(bytes, fmt.offset + 2);
    const qint64 rate = u32_at(bytes, fmt.offset + 4);
    const int block_align = u16_at(bytes, fmt.offset + 12);
    const int bits = u16_at(bytes, fmt.offset + 14);
    const bool pcm = tag == kFormatPcm || (tag == kFormatExtensible && has_pcm_subformat(bytes, fmt));
    const std::optional<WaveFormat::Sample> sample = sample_for(bits);
    if (!pcm || !sample || channels < 1 || channels > 2 ||
        rate < kMinSampleRate || rate > kMaxSampleRate || block_align != channels * bits / 8) {
        return std::nullopt;
    }
    return WaveFormat{int(rate), channels, *sample};
}

}  // namespace

int WaveFormat::bytes_per_frame() const {
    switch (sample) {
    case Sample::UInt8: return channels;
    case Sample::Int16: return channels * 2;
    case Sample::Int32: return channels * 4;
    }
    return 0;
}

std::optional<WaveData> parse_wave(const QByteArray& bytes) {
    if (bytes.size() < kRiffHeaderSize || !has_id(bytes, 0, "RIFF") || !has_id(bytes, 8, "WAVE")) {
        return std::nullopt;
    }
    const ChunkMap chunks = find_chunks(bytes);
    const std::optional<WaveFormat> format = read_format(bytes, chunks.fmt);
    if (!format || chunks.data.offset < 0) {
        return std::nullopt;
    }
    const qint64 frame_bytes = format->bytes_per_frame();
    const qint64 pcm_size = chunks.data.size - chunks.data.size % frame_bytes;
    if (pcm_size == 0 || pcm_size > kMaxWavePcmBytes) {
        return std::nullopt;
    }
    return WaveData{*format, bytes.mid(chunks.data.offset, pcm_size)};
}
