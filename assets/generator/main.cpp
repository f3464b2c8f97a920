// quorvel-artwork: draws the two standard styles, the program icon and the board cursors.
//   quorvel-artwork GAME_DIR CURSOR_DIR [ICON_DIR]
//                                              the styles and "LV!.ico" into GAME_DIR, the cursor
//                                              pictures into CURSOR_DIR, the desktop icons at
//                                              ICON_DIR/NxN/apps/ICON_NAME.png
//   quorvel-artwork --contact-sheet OUT.png    every picture of both styles on one sheet
//   quorvel-artwork --mock-board OUT.png       both styles laid out as the game window
#include "program_art.h"
#include "proof_sheets.h"
#include "style_set.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

const QString kHighColourStyle = QStringLiteral("standard highcolor.lvr");
const QString kLowColourStyle = QStringLiteral("standard lowcolor.lvr");
constexpr int kLowColourDepth = 8;

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
    const std::vector<NamedPicture> high = high_colour_pictures();
    const std::vector<NamedPicture> low = low_colour_pictures(high);
    bool ok = write_style_module(game.filePath(kHighColourStyle), high, std::nullopt) ||
              fail(QStringLiteral("cannot write %1").arg(kHighColourStyle));
    ok = (write_style_module(game.filePath(kLowColourStyle), low, kLowColourDepth) ||
          fail(QStringLiteral("cannot write %1").arg(kLowColourStyle))) && ok;
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

std::vector<StyleProof> both_styles() {
    std::vector<NamedPicture> high = high_colour_pictures();
    std::vector<NamedPicture> low = low_colour_pictures(high);
    return {{kHighColourStyle, std::move(high)}, {kLowColourStyle, std::move(low)}};
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
        return write_picture(args[2], contact_sheet(both_styles())) ? 0 : 1;
    if (args[1] == QStringLiteral("--mock-board"))
        return write_picture(args[2], mock_board(both_styles())) ? 0 : 1;
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
