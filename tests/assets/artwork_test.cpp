#include "platform/resource_module.h"
#include "platform/wave_format.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPainter>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

// Pixels whose colour differs from the other picture's by more than `tolerance` in a channel.
int pixels_differing(const QImage& a, const QImage& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            count += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))}) > tolerance;
        }
    return count;
}

// Read entry by entry as a desktop reads an icon file: each entry names its size and points
// at a PNG picture inside the file. 64 and 96 pixels keep the window icon sharp at 2x.
TEST(ProgramIcon, HoldsSixteenToNinetySixPixelPicturesWithAlpha) {
    constexpr int kSides[] = {16, 32, 48, 64, 96};
    QFile file(QDir(QStringLiteral(QUORVEL_GAME_DIR)).filePath("LV!.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    ASSERT_GE(ico.size(), 6 + 5 * 16);
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
    ASSERT_EQ(ico.left(6).toHex(), "000001000500") << "no icon file of five pictures";
    for (int i = 0; i < 5; ++i) {
        const int side = kSides[i];
        const qsizetype entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<quint8>(ico[entry]), side) << "entry " << i;
        EXPECT_EQ(static_cast<quint8>(ico[entry + 1]), side) << "entry " << i;
        const QImage picture = QImage::fromData(ico.mid(u32(entry + 12), u32(entry + 8)));
        EXPECT_EQ(picture.size(), QSize(side, side)) << "entry " << i;
        EXPECT_TRUE(picture.hasAlphaChannel()) << "entry " << i;
    }
}

// Each board cursor's file name, and what it tells the player.
const std::pair<std::string, std::string> kCursors[] = {
    {"pickhand", "NothingToDoHere"},
    {"pickhand2", "StoneCanBeTakenOrGoThere"},
    {"nohand", "StoneCannotGetThere"}};

QImage cursor(const std::string& name, int scale) {
    const std::string suffix = scale == 1 ? "" : "@" + std::to_string(scale) + "x";
    return QImage(QString::fromStdString(QUORVEL_CURSOR_DIR "/" + name + suffix + ".png"));
}

class BoardCursor : public testing::TestWithParam<std::pair<std::string, std::string>> {};

// At 2x the hand is drawn at twice the pixels, so the hot spot is the same point on the screen.
TEST_P(BoardCursor, IsAHandOf32PixelsOr64At2xWithItsFingerTipAtTheHotSpotUnlikeTheOthers) {
    for (const int scale : {1, 2}) {
        const QImage picture = cursor(GetParam().first, scale);
        const int side = 32 * scale;
        ASSERT_EQ(picture.size(), QSize(side, side)) << "at " << scale << "x";
        EXPECT_EQ(qAlpha(picture.pixel(side - 1, 0)), 0);
        EXPECT_EQ(qAlpha(picture.pixel(0, side - 1)), 0);
        QPoint tip(-1, -1);  // the topmost drawn pixel, where the hot spot is
        for (int at = 0; at < side * side && tip.x() < 0; ++at)
            if (qAlpha(picture.pixel(at % side, at / side)) > 128)
                tip = {at % side, at / side};
        EXPECT_NEAR(tip.x(), 10 * scale, 2) << "at " << scale << "x";
        EXPECT_NEAR(tip.y(), 1 * scale, 1) << "at " << scale << "x";
        for (const auto& [other, meaning] : kCursors)
            if (other != GetParam().first) {
                EXPECT_GT(pixels_differing(picture, cursor(other, scale), 40), 40 * scale * scale)
                    << "looks like " << other << " at " << scale << "x";
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Cursors, BoardCursor, testing::ValuesIn(kCursors),
                         [](const auto& info) { return info.param.second; });

struct StyleFile {
    const char* file_name;
    const char* test_name;
    const char* depth;  // string 4, or "none" for a style that may be shown on any screen
    bool indexed;       // 8-bit pictures on one palette
};
const StyleFile kHighColour{"standard highcolor.lvr", "HighColour", "none", false};
const StyleFile kLowColour{"standard lowcolor.lvr", "LowColour", "8", true};
const StyleFile kContrast{"Contrast.lvr", "Contrast", "none", false};
const StyleFile kMarbles{"Marbles.lvr", "Marbles", "none", false};

void PrintTo(const StyleFile& style, std::ostream* out) { *out << style.file_name; }

// The seven colours first, in the order of the stone codes.
const std::vector<QString> kStoneKinds{"red",    "green",  "blue",  "yellow", "lblue",
                                       "black",  "purple", "joker", "quest",  "dynamit"};
const char* const kSounds[] = {"plop_up", "plop_away", "error"};
const QRect kStoneCentre(12, 12, 16, 16);
const QPoint kBesideTheStone(2, 20);  // on the field, just left of a resting stone

QString framed(const QString& kind, int frame) {
    return kind + QStringLiteral("%1").arg(frame, 4, 10, QLatin1Char('0'));
}

// Every picture the game loads, with its size for 40-pixel fields and 30 x 45 digits; the
// title may have any size.
std::map<QString, QSize> pictures_the_game_loads() {
    std::map<QString, QSize> all{{"empty", {40, 40}},  {"main1", {542, 96}},
                                 {"main2", {153, 384}}, {"main3", {29, 384}},
                                 {"main4", {360, 24}},  {"game_over", {300, 150}},
                                 {"title", {}}};
    for (const QString& kind : kStoneKinds)
        for (int frame = 0; frame <= 10; ++frame)
            all[framed(kind, frame)] = {40, 40};
    for (int frame = 12; frame <= 15; ++frame)
        all[framed("dynamit", frame)] = {40, 40};
    for (int digit = 0; digit <= 9; ++digit)
        all[QStringLiteral("lcd%1").arg(digit)] = {30, 45};
    return all;
}

// The picture a 2x screen shows in place of `name`.
QString at_2x(const QString& name) { return name + QStringLiteral("@2x"); }

// A style file of the game folder, opened as the game opens it, with every picture it loads
// at 1x and at 2x.
struct OpenedStyle {
    std::unique_ptr<ResourceModule> module;
    QMap<QString, QImage> pictures;
};

const OpenedStyle& opened(const StyleFile& style) {
    static std::map<std::string, OpenedStyle> cache;
    OpenedStyle& entry = cache[style.file_name];
    const QString path = QDir(QStringLiteral(QUORVEL_GAME_DIR)).filePath(style.file_name);
    // The game would also take the name in other letter case; the file is named exactly.
    if (!entry.module && QFile::exists(path) && (entry.module = ResourceModule::open(path)))
        for (const auto& [name, size] : pictures_the_game_loads())
            for (const QString& shown : {name, at_2x(name)})
                if (std::optional<QImage> image = entry.module->bitmap(shown))
                    entry.pictures[shown] = *image;
    return entry;
}

// Smooth scaling down to a single pixel averages the area.
QColor mean_colour(const QImage& picture, const QRect& area) {
    return picture.copy(area).convertToFormat(QImage::Format_RGB32)
        .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
}

double colour_distance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

// Vertical centre of the red stone's body in a picture.
double red_body_height(const QImage& picture) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qRed(p) > 120 && qRed(p) > 2 * qGreen(p) && qRed(p) > 2 * qBlue(p)) {
                sum += y;
                ++count;
            }
        }
    return count > 0 ? sum / count : -1.0;
}

class ShippedStyle : public testing::TestWithParam<StyleFile> {
protected:
    void SetUp() override { ASSERT_NE(style().module, nullptr) << "cannot open the file"; }
    const OpenedStyle& style() const { return opened(GetParam()); }
    QImage picture(const QString& name) const { return style().pictures.value(name); }
};

// A high-colour style holds each picture also at twice the pixels for 2x screens; 8-bit screens
// are never 2x screens.
TEST_P(ShippedStyle, HoldsEveryPictureTheGameLoadsAtItsSizeAndAt2xUnlessIndexed) {
    for (const auto& [name, size] : pictures_the_game_loads()) {
        const QImage image = picture(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString() << " is missing";
        EXPECT_EQ(image.format() == QImage::Format_Indexed8, GetParam().indexed)
            << name.toStdString();
        if (size.isValid()) {
            EXPECT_EQ(image.size(), size) << name.toStdString();
        }
        const QImage twice = picture(at_2x(name));
        EXPECT_EQ(twice.isNull(), GetParam().indexed) << name.toStdString() << "@2x";
        if (!twice.isNull()) {
            EXPECT_EQ(twice.size(), image.size() * 2) << name.toStdString() << "@2x";
        }
    }
    EXPECT_GE(picture("title").width(), 200);
    EXPECT_GE(picture("title").height(), 150);
}

// The styles that carry pictures for 2x screens.
class HighColourStyle : public ShippedStyle {};

// Halved, a 2x picture is its 1x picture: the same drawing. Yet neither repeating nor smoothly
// enlarging the 1x pixels gives it: it is drawn afresh, with the fine detail enlarging loses.
TEST_P(HighColourStyle, PicturesAt2xAreTheSameDrawingWithFinerDetailNotEnlarged) {
    std::map<Qt::TransformationMode, int> unlike_enlarged;
    int pixels = 0;
    for (const auto& [name, size] : pictures_the_game_loads()) {
        const QImage one = picture(name), two = picture(at_2x(name));
        ASSERT_EQ(two.size(), one.size() * 2) << name.toStdString();
        const QImage halved =
            two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(pixels_differing(halved, one, 24), one.width() * one.height() / 100)
            << name.toStdString();
        pixels += two.width() * two.height();
        for (const Qt::TransformationMode mode : {Qt::FastTransformation, Qt::SmoothTransformation})
            unlike_enlarged[mode] +=
                pixels_differing(two, one.scaled(two.size(), Qt::IgnoreAspectRatio, mode), 24);
    }
    EXPECT_GT(unlike_enlarged[Qt::FastTransformation], pixels / 100) << "pixels repeated";
    EXPECT_GT(unlike_enlarged[Qt::SmoothTransformation], pixels / 100) << "smoothly enlarged";
}

TEST_P(ShippedStyle, StringsGiveFortyPixelFieldsThirtyByFortyFiveDigitsAndTheColourDepth) {
    const std::pair<int, const char*> expected[] = {{1, "40"}, {2, "45"}, {3, "30"},
                                                    {4, GetParam().depth}};
    for (const auto& [id, text] : expected)
        EXPECT_EQ(style().module->string(id).value_or("none").toStdString(), text)
            << "string " << id;
}

TEST_P(ShippedStyle, EveryStonePictureLiesOnTheEmptyField) {
    const QImage empty = picture("empty");
    for (const auto& [name, size] : pictures_the_game_loads()) {
        if (size != empty.size())
            continue;
        for (const QRect corner : {QRect(0, 0, 4, 4), QRect(36, 0, 4, 4), QRect(0, 36, 4, 4),
                                   QRect(36, 36, 4, 4)})
            EXPECT_EQ(pixels_differing(picture(name).copy(corner), empty.copy(corner), 12), 0)
                << name.toStdString() << " corner " << corner.x() << "," << corner.y();
    }
}

// Laid out as the game lays out the window, at 1x and at 2x, the four frame pictures show no
// step at a seam: each pixel there has nearly the colour of its neighbour across it.
TEST_P(ShippedStyle, FramePicturesJoinWithoutSeams) {
    for (const int scale : GetParam().indexed ? std::vector{1} : std::vector{1, 2}) {
        const auto shown = [&](const QString& name) { return scale == 1 ? name : at_2x(name); };
        QImage window(QSize(542, 480) * scale, QImage::Format_RGB32);
        window.fill(Qt::magenta);
        QPainter painter(&window);
        for (const auto& [name, at] : {std::pair{"main1", QPoint(0, 0)}, {"main2", QPoint(0, 96)},
                                       {"main3", QPoint(513, 96)}, {"main4", QPoint(153, 456)}})
            painter.drawImage(at * scale, picture(shown(name)));
        painter.end();
        // The first line of pixels past each seam, and the step back across it.
        for (const auto& [past, back] : {std::pair{QRect(0, 96, 153, 1), QPoint(0, -1)},
                                         {QRect(513, 96, 29, 1), QPoint(0, -1)},
                                         {QRect(153, 456, 1, 24), QPoint(-1, 0)},
                                         {QRect(513, 456, 1, 24), QPoint(-1, 0)}}) {
            const QSize long_side = past.size() * scale;  // the line stays one pixel thick
            const QRect line(past.topLeft() * scale, back.x() == 0 ? QSize(long_side.width(), 1)
                                                                   : QSize(1, long_side.height()));
            EXPECT_EQ(pixels_differing(window.copy(line), window.copy(line.translated(back)), 24),
                      0)
                << "seam at " << past.x() << "," << past.y() << " at " << scale << "x";
        }
    }
}

TEST_P(ShippedStyle, RestingColoursAreClearlyDifferent) {
    for (std::size_t a = 0; a < 7; ++a)
        for (std::size_t b = a + 1; b < 7; ++b)
            EXPECT_GT(colour_distance(
                          mean_colour(picture(framed(kStoneKinds[a], 5)), kStoneCentre),
                          mean_colour(picture(framed(kStoneKinds[b], 5)), kStoneCentre)),
                      60.0)
                << kStoneKinds[a].toStdString() << " and " << kStoneKinds[b].toStdString();
}

TEST_P(ShippedStyle, AppearanceFramesGrowTowardsTheRestingStone) {
    for (const QString& kind : kStoneKinds)
        for (int frame = 0, previous = 0, covered = 0; frame <= 5; ++frame, previous = covered) {
            covered = pixels_differing(picture(framed(kind, frame)), picture("empty"), 40);
            EXPECT_GT(covered, previous) << framed(kind, frame).toStdString();
        }
}

TEST_P(ShippedStyle, SelectedStoneGlowsOnItsField) {
    const QColor field = picture("empty").pixelColor(kBesideTheStone);
    for (const QString& kind : kStoneKinds) {
        EXPECT_LT(colour_distance(picture(framed(kind, 5)).pixelColor(kBesideTheStone), field), 12)
            << kind.toStdString() << " glows at rest";
        for (int frame = 6; frame <= 10; ++frame)
            EXPECT_GT(colour_distance(picture(framed(kind, frame)).pixelColor(kBesideTheStone), field),
                      30)
                << framed(kind, frame).toStdString();
    }
}

TEST_P(ShippedStyle, SelectedStoneHopsUpAndLandsAgain) {
    std::vector<double> height;
    for (int frame = 5; frame <= 10; ++frame)
        height.push_back(red_body_height(picture(framed("red", frame))));
    ASSERT_TRUE(std::all_of(height.begin(), height.end(), [](double h) { return h > 0; }));
    // Frames 6 to 10 run as a cycle: on the ground, up, top, top, down, and back to the ground.
    const double rest = height[0];
    EXPECT_NEAR(height[1], rest, 1.5);
    EXPECT_LT(height[2], rest - 1.5);
    EXPECT_LT(height[3], rest - 2.5);
    EXPECT_LT(height[4], rest - 2.5);
    EXPECT_LT(height[5], rest - 1.5);
    EXPECT_LT(std::max(height[3], height[4]), std::min(height[2], height[5]));
}

// The three sounds differ in their crossings of the zero line per second: pitch and hiss.
TEST_P(ShippedStyle, SoundsAreShortSoftDistinctMonoPcmWavesWithoutClicks) {
    std::vector<double> rates;
    for (const char* name : kSounds) {
        const QByteArray bytes = style().module->wave(name).value_or(QByteArray());
        const std::optional<WaveData> wave = parse_wave(bytes);
        ASSERT_TRUE(wave) << name << " is no PCM wave the game plays";
        ASSERT_EQ(wave->format.sample, WaveFormat::Sample::Int16) << name;
        EXPECT_EQ(wave->format.channels, 1) << name;
        EXPECT_EQ(wave->format.sample_rate, 22050) << name;
        // The format comes before the samples, and the sizes in the headers add up to the file.
        EXPECT_LT(bytes.indexOf("fmt "), bytes.indexOf("data")) << name;
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), bytes.size() - 8) << name;
        qsizetype end = 12;
        while (end + 8 <= bytes.size()) {
            const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + end + 4);
            end += 8 + qsizetype{size} + size % 2;
        }
        EXPECT_EQ(end, bytes.size()) << name;
        std::vector<qint16> s(static_cast<std::size_t>(wave->pcm.size() / 2));
        qFromLittleEndian<qint16>(wave->pcm.constData(), qsizetype(s.size()), s.data());
        ASSERT_FALSE(s.empty()) << name;
        const double seconds = static_cast<double>(s.size()) / 22050;
        EXPECT_GT(seconds, 0.05) << name;
        EXPECT_LT(seconds, 0.5) << name;
        const auto [low, high] = std::minmax_element(s.begin(), s.end());
        EXPECT_LT(std::max(-int{*low}, int{*high}), 16384) << name << " is loud";
        EXPECT_LT(std::abs(s.front()) + std::abs(s.back()), 300) << name << " clicks";
        EXPECT_TRUE(std::adjacent_find(s.begin(), s.end(), [](int a, int b) {
                        return std::abs(a - b) >= 8000;
                    }) == s.end()) << name << " jumps";
        int crossings = 0;
        for (std::size_t i = 1; i < s.size(); ++i)
            crossings += (s[i - 1] < 0) != (s[i] < 0);
        rates.push_back(crossings / seconds);
    }
    for (std::size_t a = 0; a < rates.size(); ++a)
        for (std::size_t b = a + 1; b < rates.size(); ++b)
            EXPECT_GT(std::max(rates[a], rates[b]) / std::min(rates[a], rates[b]), 1.5)
                << kSounds[a] << " and " << kSounds[b];
    EXPECT_LT(rates[2], 600.0) << "the error sound is a low buzz";
}

std::string style_test_name(const testing::TestParamInfo<StyleFile>& info) {
    return info.param.test_name;
}

INSTANTIATE_TEST_SUITE_P(AllStyles, ShippedStyle,
                         testing::Values(kHighColour, kLowColour, kContrast, kMarbles),
                         style_test_name);
INSTANTIATE_TEST_SUITE_P(HighColourStyles, HighColourStyle,
                         testing::Values(kHighColour, kContrast, kMarbles), style_test_name);

// The names of a style file's entries, read from the ZIP archive's central directory.
std::set<std::string> entry_names(const StyleFile& style) {
    QFile file(QDir(QStringLiteral(QUORVEL_GAME_DIR)).filePath(style.file_name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = file.readAll();
    const auto u16 = [&](qsizetype at) {
        return qsizetype{qFromLittleEndian<quint16>(zip.constData() + at)};
    };
    const auto u32 = [&](qsizetype at) {
        return qsizetype{qFromLittleEndian<quint32>(zip.constData() + at)};
    };
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));  // end of the directory
    std::set<std::string> names;
    if (end < 0 || end + 22 > zip.size())
        return names;
    qsizetype at = u32(end + 16);
    for (qsizetype left = u16(end + 10); left > 0 && at + 46 <= zip.size(); --left) {
        const qsizetype name_length = u16(at + 28);
        names.insert(zip.mid(at + 46, name_length).toStdString());
        at += 46 + name_length + u16(at + 30) + u16(at + 32);
    }
    return names;
}

// A style that follows the high-colour style: every picture, wave and string it holds, with
// pictures at the same size, so that the game lays out the window just the same; the 2x
// pictures if it is a high-colour style too.
class LikeTheHighColourStyle : public testing::TestWithParam<StyleFile> {};

TEST_P(LikeTheHighColourStyle, HoldsEveryEntryOfItAtTheSameSize) {
    const std::set<std::string> standard = entry_names(kHighColour);
    const std::set<std::string> here = entry_names(GetParam());
    ASSERT_GT(standard.size(), 130U);
    const ResourceModule* standard_module = opened(kHighColour).module.get();
    const ResourceModule* module = opened(GetParam()).module.get();
    ASSERT_TRUE(standard_module && module) << "cannot open the files";
    const auto size_of = [](const ResourceModule& style, const std::string& entry) {
        const QString name = QString::fromStdString(entry).section('/', 1).section('.', 0, 0);
        return style.bitmap(name).value_or(QImage()).size();
    };
    for (const std::string& entry : standard) {
        if (GetParam().indexed && entry.find("@2x") != std::string::npos) continue;
        EXPECT_TRUE(here.count(entry)) << entry << " is missing";
        if (entry.starts_with("bitmaps/") && entry != "bitmaps/title.png") {
            EXPECT_EQ(size_of(*module, entry), size_of(*standard_module, entry)) << entry;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OtherStyles, LikeTheHighColourStyle,
                         testing::Values(kLowColour, kContrast, kMarbles), style_test_name);

// A 256-colour screen shows all pictures at once, so together they use one palette.
TEST(LowColourStyle, LooksLikeTheHighColourStyleWithAtMost256ColoursInAll) {
    const OpenedStyle& low = opened(kLowColour);
    ASSERT_EQ(low.pictures.size(), pictures_the_game_loads().size());
    std::set<QRgb> used;
    for (const auto& [name, reduced] : low.pictures.asKeyValueRange()) {
        const QImage full = opened(kHighColour).pictures.value(name);
        for (int y = 0; y < reduced.height(); ++y)
            for (int x = 0; x < reduced.width(); ++x)
                used.insert(reduced.pixel(x, y));
        const QRect whole(QPoint(0, 0), full.size());
        EXPECT_LT(colour_distance(mean_colour(full, whole), mean_colour(reduced, whole)), 10.0)
            << name.toStdString();
        EXPECT_LT(pixels_differing(full, reduced, 48), full.width() * full.height() / 50)
            << name.toStdString();
    }
    EXPECT_GT(used.size(), 64U);
    EXPECT_LE(used.size(), 256U);
}

}  // namespace
