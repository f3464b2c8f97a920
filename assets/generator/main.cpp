// quorvel-artwork: draws the two standard styles, our add-on styles, the program icon and the
// board cursors.
//   quorvel-artwork GAME_DIR CURSOR_DIR [ICON_DIR]
//                                              the styles and "LV!.ico" into GAME_DIR, the cursor
//                                              pictures into CURSOR_DIR, the desktop icons at
//                                              ICON_DIR/NxN/apps/ICON_NAME.png
//   quorvel-artwork --contact-sheet OUT.png    every picture of every style on one sheet, at 1x
//   quorvel-artwork --mock-board OUT.png       every style laid out as the game window, at 1x
#include "program_art.h"
#include "proof_sheets.h"
#include "sound_synth.h"
#include "style_look.h"
#include "style_set.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr int kLowColourDepth = 8;
constexpr int kHiDpiScale = 2;  // HiDPI screens look for "NAME@2x" pictures of twice the pixels

// A style file the game folder gets.
struct GeneratedStyle {
    QString file_name;
    std::vector<NamedPicture> pictures;
    StyleSounds sounds;
    std::optional<int> drawn_for_depth;
};

// With `hidpi` the high-colour styles carry every picture also at twice the pixels. The
// low-colour style is for 8-bit screens, which are never HiDPI.
std::vector<GeneratedStyle> all_styles(bool hidpi) {
    const auto high_colour = [hidpi](const StyleLook& look, std::vector<NamedPicture> pictures) {
        if (hidpi)
            std::ranges::move(style_pictures(look, kHiDpiScale), std::back_inserter(pictures));
        return pictures;
    };
    const StyleLook standard = standard_look();
    const StyleLook contrast = contrast_look();
    const StyleLook marbles = marbles_look();
    std::vector<NamedPicture> high = style_pictures(standard, 1);
    std::vector<NamedPicture> low = low_colour_pictures(high);
    std::vector<GeneratedStyle> styles;
    styles.push_back({QStringLiteral("standard highcolor.lvr"),
                      high_colour(standard, std::move(high)), standard_sounds(), std::nullopt});
    styles.push_back({QStringLiteral("standard lowcolor.lvr"), std::move(low), standard_sounds(),
                      kLowColourDepth});
    styles.push_back({QStringLiteral("Contrast.lvr"),
                      high_colour(contrast, style_pictures(contrast, 1)), contrast_sounds(),
                      std::nullopt});
    styles.push_back({QStringLiteral("Marbles.lvr"),
                      high_colour(marbles, style_pictures(marbles, 1)), marbles_sounds(),
                      std::nullopt});
    return styles;
}

bool fail(const QString& message) {
    std::fprintf(stderr, "quorvel-artwork: %s\n", qPrintable(message));
    return false;
}

bool write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

bool write_picture(const QString& path, const QImage& image) {
    return image.save(path, "PNG") || fail(QStringLiteral("cannot write %1").arg(path));
}

bool write_program_files(const QDir& game, const QDir& cursors) {
    // QIcon takes the entry that fits the window's size in pixels: 64 and 96 serve HiDPI screens.
    const QByteArray icon = ico_file({icon_picture(16), icon_picture(32), icon_picture(48),
                                      icon_picture(64), icon_picture(96)});
    bool ok = write_bytes(game.filePath(QStringLiteral("LV!.ico")), icon);
    for (const CursorArt& cursor : kCursors)
        for (const int scale : {1, kHiDpiScale}) {
            const QString name = name_at_scale(QString::fromLatin1(cursor.name), scale);
            const QString path = cursors.filePath(name + QStringLiteral(".png"));
            ok = write_picture(path, cursor_picture(cursor, scale)) && ok;
        }
    return ok;
}

bool write_styles(const QDir& game) {
    bool ok = true;
    for (const GeneratedStyle& style : all_styles(/*hidpi=*/true))
        ok = (write_style_module(game.filePath(style.file_name), style.pictures, style.sounds,
                                 style.drawn_for_depth) ||
              fail(QStringLiteral("cannot write %1").arg(style.file_name))) && ok;
    return ok;
}

// The sizes desktops look for in the hicolor icon theme.
bool write_desktop_icons(const QDir& icons) {
    bool ok = true;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        ok = (QDir().mkpath(icons.filePath(folder)) &&
              write_picture(icons.filePath(folder + "/" + QUORVEL_ICON_NAME + ".png"), icon_picture(size))) && ok;
    }
    return ok;
}

std::vector<StyleProof> style_proofs() {
    std::vector<StyleProof> proofs;
    for (GeneratedStyle& style : all_styles(/*hidpi=*/false))
        proofs.emplace_back(style.file_name, std::move(style.pictures));
    return proofs;
}

int usage() {
    fail(QStringLiteral("usage: quorvel-artwork GAME_DIR CURSOR_DIR [ICON_DIR] | --contact-sheet OUT.png | "
                        "--mock-board OUT.png"));
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4)
        return usage();
    if (args[1] == QStringLiteral("--contact-sheet"))
        return write_picture(args[2], contact_sheet(style_proofs())) ? 0 : 1;
    if (args[1] == QStringLiteral("--mock-board"))
        return write_picture(args[2], mock_board(style_proofs())) ? 0 : 1;
    if (args[1].startsWith(QLatin1Char('-')))
        return usage();
    const QDir game(args[1]);
    const QDir cursors(args[2]);
    if (!QDir().mkpath(game.path()) || !QDir().mkpath(cursors.path())) {
        fail(QStringLiteral("cannot make the output folders"));
        return 1;
    }
    const bool styles_ok = write_styles(game);
    const bool program_ok = write_program_files(game, cursors);
    const bool icons_ok = args.size() < 4 || write_desktop_icons(QDir(args[3]));
    return styles_ok && program_ok && icons_ok ? 0 : 1;
}
