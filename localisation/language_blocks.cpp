#include "localisation/language_blocks.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<LanguageBlock, 10> kBlocks{{
    {0, "English", "en", "English", "IDH_ShortDescription", "IDH_256", "ISO-8859-1"},
    {2000, "German", "de", "Deutsch", "IDH_German", "IDH_256_German", "ISO-8859-1"},
    {4000, "Spanish", "es", "Español", "IDH_Spanish", "IDH_256_Spanish", "ISO-8859-1"},
    {6000, "Danish", "da", "Dansk", "IDH_Danish", "IDH_256_Danish", "ISO-8859-1"},
    {8000, "French", "fr", "Français", "IDH_French", "IDH_256_French", "ISO-8859-1"},
    {10000, "Italian", "it", "Italiano", "IDH_Italian", "IDH_256_Italian", "ISO-8859-1"},
    {12000, "Dutch", "nl", "Nederlands", "IDH_Dutch", "IDH_256_Dutch", "ISO-8859-1"},
    {14000, "Polish", "pl", "Polski", "IDH_Polish", "IDH_256_Polish", "windows-1250"},
    {16000, "Portuguese", "pt_BR", "Português (Brasil)", "IDH_Portuguese", "IDH_256_Portuguese", "ISO-8859-1"},
    {18000, "Swedish", "sv", "Svenska", "IDH_Swedish", "IDH_256_Swedish", "ISO-8859-1"},
}};

template <typename Predicate>
const LanguageBlock* find_block(Predicate predicate) {
    const auto found = std::find_if(kBlocks.begin(), kBlocks.end(), predicate);
    return found == kBlocks.end() ? nullptr : &*found;
}

}  // namespace

std::span<const LanguageBlock> language_blocks() { return kBlocks; }

const LanguageBlock& english_block() { return kBlocks[0]; }

const LanguageBlock* block_by_code(const QString& code) {
    return find_block([&](const LanguageBlock& block) { return code == QLatin1String(block.code); });
}

const LanguageBlock* block_for_language(const QString& english_name) {
    if (english_name.contains(QStringLiteral("German"), Qt::CaseSensitive)) return &kBlocks[1];
    return find_block([&](const LanguageBlock& block) { return english_name == QLatin1String(block.name); });
}

const LanguageBlock& block_by_base(int base_id) {
    const LanguageBlock* block = find_block([&](const LanguageBlock& b) { return b.base_id == base_id; });
    return block ? *block : english_block();
}

QStringList interface_language_names(const QStringList& ui_languages) {
    QStringList names;
    for (const QString& ui_language : ui_languages) {
        const QString name = QLocale::languageToString(QLocale(ui_language).language());
        if (!names.contains(name)) names << name;
    }
    return names;
}

QString same_topic_in(const QString& topic, const LanguageBlock& block) {
    for (const LanguageBlock& from : kBlocks) {
        if (topic == QLatin1String(from.rules_topic)) return QString::fromLatin1(block.rules_topic);
        if (topic == QLatin1String(from.colour_depth_topic)) return QString::fromLatin1(block.colour_depth_topic);
    }
    return {};
}
