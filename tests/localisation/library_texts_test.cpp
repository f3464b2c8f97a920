#include "test_support.h"

#include "localisation/language_blocks.h"
#include "platform/resource_module.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr int kGerman = 2000;

// One entry of the main menu with its caption in the window design.
struct MenuEntry {
    int id;
    const char* design_caption;
};

// The main menu, one list per menu level (the entries the player sees side by side, hidden
// ones included): mnemonics must differ within each.
const std::vector<std::vector<MenuEntry>> kMenuLevels = {
    {{1, "&Game"}, {5, "&Settings"}, {572, "Graphic Style"}, {20, "&Help"}},
    {{75, "&New Game"}, {2, "See &Highscores"}, {3, "&Reset Highscores"}, {4, "&Quit"}},
    {{17, "&Load Additional Graphics"}, {9, "&Animation Speed"}, {6, "&Game Difficulty"},
     {13, "Use Standard Mouse Cursor"}, {16, "Autosave Game"}, {19, "Turn &Sound Off"}, {190, "La&nguage"}},
    {{10, "&Normal"}, {11, "&Fast"}, {12, "L&ightning"}},
    {{7, "Regular"}, {8, "Difficult"}},
    {{573, "Standard"}, {574, "Get More Graphics"}},
    {{21, "How to &play"}, {23, "&About Quorvel"}},
};

// A caption whose control has a fixed width in the window design. `room` is the width in
// pixels left for the text, at a font of `pixel_size` pixels; `design_caption` is the
// control's design text where it has one (nullptr otherwise).
struct SizedCaption {
    int id;
    int room;
    int pixel_size;
    const char* design_caption;
};

// Rooms: labels reach from their left edge to 8 pixels before the window's edge (or before
// the control beside them); buttons lose 12 pixels to their frame, check boxes 22 to the
// box, group box titles 16; window captions keep about 70 pixels for icon and buttons.
// Default dialog font 12 pixels; the highscore dialog uses 11 and 19, the name entry's
// labels 13, the confirmation's buttons 16.
const std::vector<SizedCaption> kSizedCaptions = {
    {214, 117, 12, nullptr},
    {25, 270, 12, "The game goes on..."},
    {26, 327, 12, "Your last game has automatically been loaded. You can turn off this"},
    {27, 327, 12, "feature by clicking on \"Settings\" and \"Autosave Game\""},
    {28, 179, 12, "don't tell me again"}, {29, 77, 12, "OK"},
    {30, 270, 12, "Warning! Please read closely!"},
    {31, 327, 12, "You are currently running Windows at 256 Colors or less."},
    {32, 327, 12, "Quorvel will run at this color resolution, but it might look much better"},
    {33, 327, 12, "with a higher color depth. It is therefore recommended that you"},
    {34, 327, 12, "switch to High or True Color and restart Quorvel."},
    {35, 139, 12, "Never warn me again"}, {36, 77, 12, "OK"}, {37, 69, 12, "Help"},
    {44, 280, 12, "Are you sure?"},
    {40, 334, 12, "In order to change the game mode, you have to restart the game."},
    {41, 334, 12, "Do you really want to do this?"}, {42, 77, 16, "Yes"}, {43, 85, 16, "No"},
    {63, 270, 12, nullptr},
    {81, 96, 19, "Highscores"}, {82, 168, 19, "Internet Highscores:"}, {83, 125, 11, "OK"},
    {84, 197, 11, "Display the Website Highscores"}, {85, 197, 11, nullptr},
    {86, 240, 12, nullptr}, {87, 240, 12, nullptr}, {93, 300, 12, nullptr},
    {94, 353, 13, nullptr}, {95, 353, 13, nullptr}, {96, 256, 13, nullptr}, {97, 353, 13, nullptr},
    {301, 300, 12, nullptr}, {302, 353, 13, nullptr}, {303, 353, 13, nullptr}, {305, 77, 12, "OK"},
    {105, 400, 12, "Choose your favorite graphic style!"},
    {106, 451, 12, "Quorvel offers the possibility to change the look of the balls and score display simply"},
    {107, 451, 12, "by downloading a graphic add-on from the game's website and extracting it into"},
    {108, 451, 12, "the game directory. All add-ons are free. You can even download a tutorial that"},
    {109, 451, 12, "explains step by stephow to make your own graphics. Please press the button "},
    {110, 451, 12, "below to get to the official Quorvel Website."},
    {121, 241, 12, "Please choose one of the following add-ons:"}, {122, 81, 12, "Preview:"},
    {111, 241, 12, "There are no graphic add-ons installed."},
    {112, 241, 12, "By going to the Quorvel website, you could load many"},
    {113, 241, 12, "nice add-ons, including the following:"},
    {114, 60, 12, nullptr}, {115, 60, 12, nullptr}, {116, 60, 12, nullptr}, {117, 60, 12, nullptr},
    {118, 149, 12, "Load the selected add-on"}, {119, 149, 12, "Take me to the website!"},
    {120, 149, 12, "Cancel"},
};

// The ids the program asks for that neither table lists: main window caption and About
// window, the highscore posting, the highscore reset question.
const std::vector<int> kOtherTextIds = {24, 201, 212, 88, 89, 90, 91, 92, 560, 561, 191};

// Text `string_id` of the built language library; empty when it lacks it.
QString text(int string_id) {
    static const std::unique_ptr<ResourceModule> library =
        ResourceModule::open(QStringLiteral(QUORVEL_GAME_DIR "/languages.dll"));
    return library ? library->string(string_id).value_or(QString()) : QString();
}

// The caption as shown: "&&" is an ampersand, a single "&" marks the mnemonic.
int pixel_width(QString caption, int pixel_size) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixel_size);
    return QFontMetrics(font).horizontalAdvance(caption);
}

class EachLanguage : public testing::TestWithParam<int> {
protected:
    // The text as the language gives it; in English the window design's caption where given.
    QString caption(int id, const char* design_caption) const {
        const QString text = ::text(id + GetParam());
        EXPECT_FALSE(text.isEmpty()) << "id " << id;
        if (GetParam() == 0 && design_caption) {
            EXPECT_EQ(text, QString::fromUtf8(design_caption));
        }
        return text;
    }
};

TEST_P(EachLanguage, MenuTextsHaveDistinctMnemonicsWithinEachLevel) {
    for (const std::vector<MenuEntry>& level : kMenuLevels) {
        std::set<QChar> seen;
        for (const MenuEntry& entry : level) {
            const QString caption =
                this->caption(entry.id, entry.design_caption).remove(QStringLiteral("&&"));
            const qsizetype at = caption.indexOf(u'&');
            EXPECT_LE(caption.count(u'&'), 1) << qPrintable(caption);
            if (at >= 0 && at + 1 < caption.size()) {
                EXPECT_TRUE(seen.insert(caption[at + 1].toLower()).second)
                    << "mnemonic of \"" << qPrintable(caption) << "\" is taken";
            }
        }
    }
}

// A caption fits where its control leaves room for it, or, where the design caption is
// already wider at this font, where the design caption would.
TEST_P(EachLanguage, CaptionsFitTheirControls) {
    for (const SizedCaption& sized : kSizedCaptions) {
        const QString caption = this->caption(sized.id, sized.design_caption);
        const int design_width =
            sized.design_caption ? pixel_width(QString::fromUtf8(sized.design_caption),
                                               sized.pixel_size)
                                 : 0;
        EXPECT_LE(pixel_width(caption, sized.pixel_size), std::max(sized.room, design_width))
            << "id " << sized.id << ": \"" << qPrintable(caption) << "\"";
    }
}

// Every id of the English block is in the block, with a text that keeps what the code and the
// menus build on: the same placeholders, each as often, and as many mnemonics (one at most).
TEST_P(EachLanguage, HoldsEveryEnglishTextWithItsPlaceholdersAndMnemonics) {
    const auto count = [](const QString& text, const QString& part) { return text.count(part); };
    int ids = 0;
    for (int id = 1; id < 2000; ++id) {
        const QString english = text(id);
        if (english.isEmpty()) continue;
        ++ids;
        const QString translated = text(id + GetParam());
        EXPECT_FALSE(translated.trimmed().isEmpty()) << "id " << id;
        for (const char* placeholder : {"%1", "%2", "%3"})
            EXPECT_EQ(count(translated, placeholder), count(english, placeholder)) << "id " << id << " " << placeholder;
        EXPECT_EQ(QString(translated).remove("&&").count(u'&'), QString(english).remove("&&").count(u'&')) << "id " << id;
        EXPECT_EQ(translated.count(u'\n'), english.count(u'\n')) << "id " << id;
    }
    EXPECT_GT(ids, 140);
}

INSTANTIATE_TEST_SUITE_P(BuiltLibrary, EachLanguage,
                         testing::Values(0, 2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(block_by_base(info.param).name);
                         });

// Every other id the program asks for has a text. The code builds on these: the window
// caption is the game's name; the web address follows text 201 directly, so its closing blank
// must survive editing; the reset question is two lines; umlauts survive packing.
TEST(BuiltLibrary, KeepsTheShapesTheCodeBuildsOn) {
    for (const LanguageBlock& block : language_blocks()) {
        const int base = block.base_id;
        for (const int id : kOtherTextIds) EXPECT_FALSE(text(base + id).isEmpty()) << "id " << id;
        EXPECT_EQ(text(base + 24), QStringLiteral("Quorvel"));
        EXPECT_TRUE(text(base + 201).endsWith(u' ')) << base;
        EXPECT_EQ(text(base + 560).count(u'\n'), 1) << base;
    }
    EXPECT_EQ(text(23 + kGerman), QStringLiteral("&Über Quorvel"));
}

}  // namespace
