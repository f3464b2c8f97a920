#pragma once

#include <QString>
#include <QStringList>

#include <span>

// One block of the language library: its texts are strings n + base_id.
struct LanguageBlock {
    int base_id;
    const char* name;     // the English name of the language, as QLocale gives it
    const char* code;     // stored as the player's choice
    const char* endonym;  // the language's name in itself, as the Language menu lists it
    const char* rules_topic;
    const char* colour_depth_topic;
    const char* code_page;  // of the encoded text files ("images/N.jpg"): their codes are its bytes
};

// English first, German second, then the blocks added since, each 2000 ids above the last.
std::span<const LanguageBlock> language_blocks();
const LanguageBlock& english_block();
const LanguageBlock* block_by_code(const QString& code);
// German by the old rule (every name holding "German", such as "Swiss German"), the others by
// their exact name; nullptr when no block is for the language.
const LanguageBlock* block_for_language(const QString& english_name);
const LanguageBlock& block_by_base(int base_id);

// The English names of the languages of `ui_languages` ("pt-PT" and "pt-BR" both "Portuguese"),
// in their order, without repeats.
QStringList interface_language_names(const QStringList& ui_languages);

// The same kind of help topic (rules or colour depth) in another block; empty for a topic that
// belongs to no block.
QString same_topic_in(const QString& topic, const LanguageBlock& block);
