#include "style_set.h"

#include "frame_art.h"
#include "shared_palette.h"
#include "sound_synth.h"
#include "stone_art.h"

#include "platform/resource_module.h"

#include <functional>

namespace {

constexpr int kStoneFrames = 11;  // frame numbers 0000 .. 0010
constexpr int kPaletteColours = 256;

QString frame_name(const char* kind, int frame) {
    return QString::fromLatin1(kind) + QStringLiteral("%1").arg(frame, 4, 10, QLatin1Char('0'));
}

void add_frames(std::vector<NamedPicture>& out, const char* kind,
                const std::function<QImage(int)>& draw, int first, int last) {
    for (int frame = first; frame <= last; ++frame)
        out.push_back({frame_name(kind, frame), draw(frame)});
}

}  // namespace

std::vector<NamedPicture> high_colour_pictures() {
    std::vector<NamedPicture> out;
    out.push_back({QStringLiteral("empty"), field_picture()});
    for (const StoneColour& colour : kStoneColours)
        add_frames(out, colour.word,
                   [&colour](int frame) { return coloured_stone_picture(colour, frame); }, 0,
                   kStoneFrames - 1);
    add_frames(out, "joker", joker_picture, 0, kStoneFrames - 1);
    add_frames(out, "quest", question_picture, 0, kStoneFrames - 1);
    add_frames(out, "dynamit", dynamite_picture, 0, kStoneFrames - 1);
    add_frames(out, "dynamit", blast_picture, 12, 15);
    for (int digit = 0; digit <= 9; ++digit)
        out.push_back({QStringLiteral("lcd%1").arg(digit), score_digit(digit)});
    for (int strip = 1; strip <= 4; ++strip)
        out.push_back({QStringLiteral("main%1").arg(strip), frame_strip(strip)});
    out.push_back({QStringLiteral("title"), title_picture()});
    out.push_back({QStringLiteral("game_over"), game_over_picture()});
    return out;
}

std::vector<NamedPicture> low_colour_pictures(const std::vector<NamedPicture>& full_colour) {
    std::vector<QImage> images;
    for (const NamedPicture& picture : full_colour)
        images.push_back(picture.image);
    const QList<QRgb> palette = shared_palette(images, kPaletteColours);
    std::vector<NamedPicture> out;
    for (const NamedPicture& picture : full_colour)
        out.push_back({picture.name, to_palette(picture.image, palette)});
    return out;
}

bool write_style_module(const QString& path, const std::vector<NamedPicture>& pictures,
                        std::optional<int> drawn_for_depth) {
    ResourceModuleWriter writer;
    for (const NamedPicture& picture : pictures)
        writer.add_bitmap(picture.name, picture.image);
    writer.add_wave(QStringLiteral("plop_up"), plop_up_sound());
    writer.add_wave(QStringLiteral("plop_away"), plop_away_sound());
    writer.add_wave(QStringLiteral("error"), error_sound());
    writer.add_string(1, QString::number(kFieldSize));
    writer.add_string(2, QStringLiteral("45"));  // score digit height
    writer.add_string(3, QStringLiteral("30"));  // score digit width
    if (drawn_for_depth)
        writer.add_string(4, QString::number(*drawn_for_depth));
    return writer.write(path);
}
