#pragma once

#include <QPixmap>
#include <QString>

#include <functional>
#include <optional>

// Looks a picture up by name in the style that is current when it is called.
using PictureSource = std::function<std::optional<QPixmap>(const QString& name)>;
