#pragma once

#include "style_set.h"

#include <QImage>
#include <QString>

#include <utility>
#include <vector>

using StyleProof = std::pair<QString, std::vector<NamedPicture>>;  // title, pictures

// Every picture of each style at its own size, with its name under it.
QImage contact_sheet(const std::vector<StyleProof>& styles);

// Each style laid out as the game window shows it, side by side, with a game in progress.
QImage mock_board(const std::vector<StyleProof>& styles);
