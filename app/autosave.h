#pragma once

#include <QString>

class SettingsList;
class Spielklasse;

bool all_digits(const QString& text);
// 81 digits, one per field.
bool valid_board_text(const QString& text);
// Digits of a value below 5000, however many leading zeros.
bool valid_score_text(const QString& text);

// The running game as settings lines: special kinds, rest codes, score and extra stones owed.
void autosave_game(const Spielklasse& engine, SettingsList& settings);
// Puts a stored game on the board; false when the lines hold none. The lines stay as they are
// either way. A board the engine could not have made still rests: the kind of a coloured stone
// is dropped, a special stone without a kind of its own rests as a joker.
bool restore_game(Spielklasse& engine, const SettingsList& settings);
// Empties the saved-game lines.
void forget_saved_game(SettingsList& settings);

// The stored text of the board, as autosave_game writes it.
QString board_text(const Spielklasse& engine);
