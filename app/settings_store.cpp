#include "app/settings_store.h"

#include "localisation/language_blocks.h"
#include "localisation/languages.h"
#include "platform/registry.h"

#include <array>
#include <map>
#include <limits>
#include <utility>

namespace {

const QString kKey = "set";
// Beside the numbered lines; older versions read only those and keep it.
const QString kLanguageName = "language";

// The 8 bytes of the double 1.2000000476837158, the version 1.2 as a 32-bit float widened.
const QByteArray kVersionBytes("\x00\x00\x00\x40\x33\x33\xF3\x3F", 8);

constexpr std::array<std::pair<int, const char*>, 17> kStoredDefaults{{
    {3, "q"}, {4, "qqq"}, {5, "qqq"}, {7, "q"}, {9, "q"}, {10, "q"}, {11, "q"}, {12, "q"}, {13, "r"},
    {14, "q"}, {15, "q"}, {16, "q"}, {17, "p"}, {18, "q"}, {19, "p"}, {20, "q"}, {21, "q"},
}};

// Lines that hold text rather than a number: the style file name and the autosaved board.
bool is_text_line(int n) { return n == 11 || n == 14 || n == 15; }

bool is_integer(const QString& text) {
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

}  // namespace

// Rotates the low seven bits by 64 and keeps bit 7, so that bytes above 127 (the UTF-8 of
// "Jürgen") survive; on 7-bit text this is the historic transform, byte for byte.
QByteArray rotate_text(QByteArray text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        c = static_cast<char>((byte & 0x80) | (((byte & 0x7F) + 64) & 0x7F));
    }
    return text;
}

QByteArray flip_text(QByteArray text) {
    for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0x80);
    return text;
}

SettingsList::SettingsList() {
    for (int i = 0; i < kLines; ++i) lines_.append(QString());
}

QString SettingsList::line(int n) const { return n >= 0 && n < kLines ? lines_[n] : QString(); }

void SettingsList::set_line(int n, const QString& text) {
    if (n >= 0 && n < kLines) lines_[n] = text;
}

int SettingsList::value(int n) const { return line(n).toInt(); }

void SettingsList::load_settings(Registry& registry) {
    if (!registry.key_exists(kKey)) write_defaults(registry);
    QList<QByteArray> stored;
    for (int n = 1; n <= kLines; ++n) stored.append(registry.read_string(kKey, QString::number(n)));
    const bool rotated = stored[2] == "p" || stored[2] == "q";
    for (int i = 0; i < kLines; ++i)
        lines_[i] = QString::fromUtf8(rotated ? rotate_text(stored[i]) : flip_text(stored[i]));
    replace_non_numeric_lines();
}

void SettingsList::write_defaults(Registry& registry) const {
    registry.write_binary(kKey, "version", kVersionBytes);
    for (const auto& [number, text] : kStoredDefaults) registry.write_string(kKey, QString::number(number), text);
}

void SettingsList::replace_non_numeric_lines() {
    for (int n = 2; n <= 20; ++n)
        if (!is_text_line(n) && !is_integer(lines_[n])) lines_[n] = "1";
}

bool SettingsList::save_settings(Registry& registry) const {
    write_settings(registry);
    return registry.flush();
}

void SettingsList::write_settings(Registry& registry) const {
    for (int i = 0; i < kLines; ++i) registry.write_string(kKey, QString::number(i + 1), rotate_text(lines_[i].toUtf8()));
}

QString stored_language(const Registry& registry) {
    const QString code = QString::fromUtf8(registry.read_string(kKey, kLanguageName));
    return block_by_code(code) ? code : QString();
}

void store_language(Registry& registry, const QString& code) {
    registry.write_string(kKey, kLanguageName, code.toUtf8());
}

QString store_error_text(const Languages& languages, const StoreError& error) {
    static const std::map<StoreError::Cause, int> kCauseTexts{
        {StoreError::kInTheWay, 232},      {StoreError::kLockHeld, 234},      {StoreError::kNoLockPermission, 235},
        {StoreError::kLockNotMade, 236},   {StoreError::kFolderNotMade, 237}, {StoreError::kDamagedNotCopied, 238},
        {StoreError::kNotWritten, 239},
    };
    constexpr int kDiskFullText = 233;
    if (error.disk_full) return languages.get_string(kDiskFullText).arg(error.subject);
    const auto text = kCauseTexts.find(error.cause);
    if (text == kCauseTexts.end()) return {};
    // The damaged file's cause names no path: the message around it does.
    if (error.cause == StoreError::kDamagedNotCopied) return languages.get_string(text->second);
    return languages.get_string(text->second).arg(error.subject);
}

void count_start(SettingsList& settings) {
    const int count = settings.value(kStartCountLine);
    if (count < std::numeric_limits<int>::max()) settings.set_value(kStartCountLine, count + 1);
}
