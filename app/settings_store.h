#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Languages;
class Registry;
struct StoreError;

// The lines of the settings list the program reads and writes.
enum SettingLine : int {
    kSoundLine = 2,
    kLeftLine = 3,
    kTopLine = 4,
    kDifficultyLine = 6,
    kLowColourLine = 10,
    kStyleLine = 11,
    kSpeedLine = 12,
    kCursorSettingLine = 13,
    kSavedKindsLine = 14,
    kSavedStonesLine = 15,
    kSavedScoreLine = 16,
    kAutosaveLine = 17,
    kSavedExtraStonesLine = 18,
    kAutosaveNoticeLine = 19,
    kStartCountLine = 20,
};

// The scrambling transforms of the store. Both are their own inverse.
QByteArray rotate_text(QByteArray text);
QByteArray flip_text(QByteArray text);

// The 21 settings lines, numbered 0 to 20, as the running program holds them.
class SettingsList {
public:
    static constexpr int kLines = 21;

    SettingsList();

    QString line(int n) const;
    void set_line(int n, const QString& text);
    // The line read as a decimal integer; 0 when it is none.
    int value(int n) const;
    void set_value(int n, int value) { set_line(n, QString::number(value)); }

    void load_settings(Registry& registry);
    // False when the store could not be written.
    bool save_settings(Registry& registry) const;
    // Puts the lines into the store; the caller flushes it.
    void write_settings(Registry& registry) const;

private:
    void write_defaults(Registry& registry) const;
    void replace_non_numeric_lines();

    QStringList lines_;
};

// The language the player chose in the menu (a block's code, see localisation/language_blocks.h);
// empty for the desktop's language, and for whatever else the store holds there.
QString stored_language(const Registry& registry);
// Puts the choice into the store; the caller flushes it.
void store_language(Registry& registry, const QString& code);

// Why a save failed, in the player's language.
QString store_error_text(const Languages& languages, const StoreError& error);

// Raises the start count by one; it stays at the largest number it can hold.
void count_start(SettingsList& settings);
