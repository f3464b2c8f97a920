#pragma once

#include <QString>

// The encoded text files ("images/N.jpg") hold one line of text per file line, each character
// written as its Latin-1 code, a signed 8-bit decimal, followed by exactly one blank:
// "abc" is "97 98 99 ", "ä" is "-28 ", and an empty line stands for an empty line.

// Throws std::runtime_error when a code lacks its blank or a token is no number.
QString decode_line(const QString& line);

// Throws std::invalid_argument for a character that Latin-1 cannot hold.
QString encode_line(const QString& text);
