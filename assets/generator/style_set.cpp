#include "style_set.h"

#include "frame_art.h"
#include "shared_palette.h"
#include "sound_synth.h"
#include "stone_art.h"
#include "style_look.h"

#include "platform/resource_module.h"

#include <array>
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

StyleLook standard_look() {
    return {standard_ground(),
            [](std::size_t colour) { return coloured_body(kStoneColours.at(colour)); },
            joker_body(),
            question_body(),
            dynamite_body,
            draw_standard_window,
            [](int digit, int scale) { return score_digit(digit, kStandardSegments, scale); },
            draw_panel_background,
            draw_game_name,
            [](QPainter& painter, const QRectF& area) {
                draw_recess(painter, area, 3.0, QColor(0x45, 0x4c, 0x57));
            }};
}

std::vector<NamedPicture> style_pictures(const StyleLook& look, int scale) {
    std::vector<NamedPicture> out;
    const StoneGround& ground = look.ground;
    const QSize field_size(kFieldSize, kFieldSize);
    out.push_back({QStringLiteral("empty"), render_picture(field_size, scale, ground.field)});
    const auto posed = [&ground, scale](const StoneBody& body) {
        return [&ground, body, scale](int frame) {
            return stone_picture(frame, body, ground, scale);
        };
    };
    for (std::size_t colour = 0; colour < kStoneColours.size(); ++colour)
        add_frames(out, kStoneColours.at(colour).word, posed(look.coloured(colour)), 0,
                   kStoneFrames - 1);
    add_frames(out, "joker", posed(look.joker), 0, kStoneFrames - 1);
    add_frames(out, "quest", posed(look.question), 0, kStoneFrames - 1);
    const auto dynamite = [&look, scale](int frame) {
        return stone_picture(frame, look.dynamite(fuse_spark(frame)), look.ground, scale);
    };
    add_frames(out, "dynamit", dynamite, 0, kStoneFrames - 1);
    const auto blast = [&ground, scale](int frame) {
        return blast_picture(frame, ground.field, scale);
    };
    add_frames(out, "dynamit", blast, 12, 15);
    for (int digit = 0; digit <= 9; ++digit)
        out.push_back({QStringLiteral("lcd%1").arg(digit), look.digit(digit, scale)});
    const std::array<QImage, 4> strips = frame_strips(look.window, scale);
    for (std::size_t strip = 0; strip < strips.size(); ++strip)
        out.push_back({QStringLiteral("main%1").arg(strip + 1), strips[strip]});
    out.push_back({QStringLiteral("title"), title_picture(look, scale)});
    out.push_back({QStringLiteral("game_over"), game_over_picture(look, scale)});
    for (NamedPicture& picture : out)
        picture.name = name_at_scale(picture.name, scale);
    return out;
}

QString name_at_scale(const QString& name, int scale) {
    return scale == 1 ? name : name + QStringLiteral("@%1x").arg(scale);
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
                        const StyleSounds& sounds, std::optional<int> drawn_for_depth) {
    ResourceModuleWriter writer;
    for (const NamedPicture& picture : pictures)
        writer.add_bitmap(picture.name, picture.image);
    writer.add_wave(QStringLiteral("plop_up"), sounds.plop_up);
    writer.add_wave(QStringLiteral("plop_away"), sounds.plop_away);
    writer.add_wave(QStringLiteral("error"), sounds.error);
    writer.add_string(1, QString::number(kFieldSize));
    writer.add_string(2, QStringLiteral("45"));  // score digit height
    writer.add_string(3, QStringLiteral("30"));  // score digit width
    if (drawn_for_depth)
        writer.add_string(4, QString::number(*drawn_for_depth));
    return writer.write(path);
}
