// quorvel-artwork: draws the two standard styles, our add-on styles, the program icon and the
// board cursors.
//   quorvel-artwork GAME_DIR CURSOR_DIR [ICON_DIR]
//                                              the styles and "LV!.ico" into GAME_DIR, the cursor
//                                              pictures into CURSOR_DIR, the desktop icons at
//                                              ICON_DIR/NxN/apps/ICON_NAME.png
//   quorvel-artwork --contact-sheet OUT.png    every picture of every style on one sheet
//   quorvel-artwork --mock-board OUT.png       every style laid out as the game window
#include "program_art.h"
#include "proof_sheets.h"
#include "sound_synth.h"
#include "style_look.h"
#include "style_set.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

constexpr int kLowColourDepth = 8;

// A style file the game folder gets.
struct GeneratedStyle {
    QString file_name;
    std::vector<NamedPicture> pictures;
    StyleSounds sounds;
    std::optional<int> drawn_for_depth;
};

std::vector<GeneratedStyle> all_styles() {
    std::vector<NamedPicture> high = style_pictures(standard_look());
    std::vector<NamedPicture> low = low_colour_pictures(high);
    std::vector<GeneratedStyle> styles;
    styles.push_back({QStringLiteral("standard highcolor.lvr"), std::move(high), standard_sounds(),
                      std::nullopt});
    styles.push_back({QStringLiteral("standard lowcolor.lvr"), std::move(low), standard_sounds(),
                      kLowColourDepth});
    styles.push_back({QStringLiteral("Contrast.lvr"), style_pictures(contrast_look()),
                      contrast_sounds(), std::nullopt});
    styles.push_back({QStringLiteral("Marbles.lvr"), style_pictures(marbles_look()),
                      marbles_sounds(), std::nullopt});
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
    const QByteArray icon = ico_file({icon_picture(16), icon_picture(32), icon_picture(48)});
    bool ok = write_bytes(game.filePath(QStringLiteral("LV!.ico")), icon);
    for (const CursorArt& cursor : kCursors)
        ok = write_picture(cursors.filePath(QString::fromLatin1(cursor.file_name)),
                           cursor_picture(cursor)) && ok;
    return ok;
}

bool write_styles(const QDir& game) {
    bool ok = true;
    for (const GeneratedStyle& style : all_styles())
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
    for (GeneratedStyle& style : all_styles())
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
