#include "wave_reader.h"

#include <QtEndian>

namespace {

std::uint32_t u32_at(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + offset);
}

std::uint16_t u16_at(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<std::uint16_t>(bytes.constData() + offset);
}

}  // namespace

double Wave::seconds() const {
    return sample_rate > 0 && channels > 0
               ? static_cast<double>(samples.size()) / channels / sample_rate
               : 0.0;
}

std::optional<Wave> read_wave(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wave wave;
    bool have_format = false;
    bool have_data = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = u32_at(bytes, at + 4);
        const qsizetype body = at + 8;
        if (size > bytes.size() - body)
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wave.format = u16_at(bytes, body);
            wave.channels = u16_at(bytes, body + 2);
            wave.sample_rate = static_cast<int>(u32_at(bytes, body + 4));
            wave.bits = u16_at(bytes, body + 14);
            have_format = true;
        } else if (id == "data" && have_format && wave.bits == 16) {
            for (qsizetype i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(qFromLittleEndian<std::int16_t>(bytes.constData() + body + i));
            have_data = true;
        }
        at = body + size + (size % 2);
    }
    if (!have_format || !have_data)
        return std::nullopt;
    return wave;
}
