#include "game_fixture.h"

#include "app/field_label.h"
#include "engine/spielklasse.h"
#include "engine_fixture.h"
#include "platform/resource_module.h"
#include "presentation/graphic_style.h"

#include "app/main_window_menu.h"
#include "app/settings_store.h"
#include "localisation/help_window.h"
#include "platform/game_files.h"
#include "presentation/addon_chooser.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

namespace {

QStringList every_bitmap_name() {
    QStringList names{"empty", "main1", "main2", "main3", "main4", "title", "game_over"};
    for (const char* stone : {"red", "green", "blue", "yellow", "lblue", "black", "purple", "joker", "quest"})
        for (int frame = 0; frame <= 10; ++frame) names << QString("%1%2").arg(stone).arg(frame, 4, 10, QChar('0'));
    for (int frame : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15})
        names << QString("dynamit%1").arg(frame, 4, 10, QChar('0'));
    for (int digit = 0; digit <= 9; ++digit) names << QString("lcd%1").arg(digit);
    return names;
}

// The standard style repacked with other layout strings and without the pictures `left_out`.
void write_style(const QString& file, const std::map<int, QString>& strings, const QStringList& left_out = {}) {
    std::unique_ptr<ResourceModule> standard = ResourceModule::open("standard highcolor.lvr");
    ResourceModuleWriter writer;
    for (const QString& name : every_bitmap_name())
        if (!left_out.contains(name)) writer.add_bitmap(name, *standard->bitmap(name));
    for (const char* wave : {"plop_up", "plop_away", "error"}) writer.add_wave(wave, *standard->wave(wave));
    for (const auto& [id, text] : strings) writer.add_string(id, text);
    ASSERT_TRUE(writer.write(file));
}

QRect geometry_of(TForm1& window, int f) { return window.field_labels[static_cast<std::size_t>(f)]->geometry(); }

}  // namespace

// The standard style's layout, then one with 50-pixel fields, a digit width of 47 and a digit top of 20.
TEST_F(GameFolder, TheStyleLaysOutBoardFramesPreviewAndScore) {
    std::unique_ptr<TForm1> window = start();
    EXPECT_EQ(geometry_of(*window, 0), QRect(153, 96, 40, 40));
    EXPECT_EQ(geometry_of(*window, 80), QRect(473, 416, 40, 40));
    EXPECT_EQ(window->frame_images[2]->geometry(), QRect(513, 96, 29, 384));
    EXPECT_EQ(window->frame_images[3]->geometry(), QRect(153, 456, 360, 24));
    EXPECT_EQ(window->centralWidget()->size(), QSize(542, 480));
    EXPECT_EQ(window->preview_labels[2]->geometry(), QRect(55, 328, 60, 60));
    EXPECT_EQ(QPoint(window->engine->score_display->digit_image(4).left, window->engine->score_display->digit_image(4).top),
              QPoint(472, 25));
    window.reset();

    write_style("big.lvr", {{1, "50"}, {2, "47"}, {3, "20"}});
    store_setting(11, "big.lvr");
    ModalAnswer restored_game_notice;
    window = start();
    EXPECT_EQ(geometry_of(*window, 80), QRect(553, 496, 50, 50));
    EXPECT_EQ(window->frame_images[2]->x(), 153 + 450);
    EXPECT_EQ(QPoint(window->engine->score_display->digit_image(2).left, window->engine->score_display->digit_image(2).top),
              QPoint(402, 24));
    EXPECT_EQ(window->Settings.line(11), "big.lvr");
}

class RejectedStyle : public GameFolder, public ::testing::WithParamInterface<const char*> {};

TEST_P(RejectedStyle, FallsBackToTheStandardStyleSilentlyAndKeepsTheName) {
    QDir().mkpath(path("sub"));
    write_style("sub/outside.lvr", {{1, "50"}});
    QFile garbage(path("broken.lvr"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("PK\x03\x04 this is no style at all");
    garbage.close();
    write_style("norest.lvr", {}, {"red0005"});
    store_setting(11, GetParam());
    std::unique_ptr<TForm1> window = start();  // no box: an unexpected one fails the test
    EXPECT_EQ(window->Settings.line(11), GetParam());
    EXPECT_EQ(geometry_of(*window, 0), QRect(153, 96, 40, 40));
    EXPECT_FALSE(window->frame_images[0]->pixmap().isNull());
}

INSTANTIATE_TEST_SUITE_P(Styles, RejectedStyle,
                         ::testing::Values("nothere.lvr", "broken.lvr", "norest.lvr", "", "sub/outside.lvr"),
                         [](const auto& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::replace(name.begin(), name.end(), '/', '_');
                             return name.empty() ? std::string("Empty") : name;
                         });

// Add-ons stand above "Standard" in reverse listing order, a capitalised standard name among
// them, made once however often the window shows. Each restyles the running game; one that lacks
// a frame picture keeps the window's size, a broken one falls back to the standard style silently.
TEST_F(GameFolder, AddOnsFromTheMenuRestyleTheRunningGame) {
    write_style("Alpha.lvr", {{1, "50"}});
    write_style("Standard Highcolor.lvr", {});
    write_style("Frameless.lvr", {}, {"main2"});
    QFile garbage(path("Broken.lvr"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write("PK\x03\x04 no style") > 0);
    garbage.close();
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->showMinimized();
    window->showNormal();
    QStringList expected;
    for (const QString& file : list_game_files("*.lvr"))
        if (!file.startsWith("standard ")) expected.prepend(file.chopped(4));
    expected << "Standard" << "Get More Graphics";
    const QList<QAction*> items = window->menu->GraphicStyle1->actions();
    QStringList shown;
    for (const QAction* item : items) shown << item->text();
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(expected.contains("Standard Highcolor"));

    set_board(*window->engine, {"R.G"});
    window->engine->score_display->set_value(33);
    const auto pick = [&](const QString& caption) { items[shown.indexOf(caption)]->trigger(); };
    pick("Alpha");
    EXPECT_TRUE(window->style_module->file_path().endsWith("Alpha.lvr"));
    EXPECT_EQ(geometry_of(*window, 80), QRect(553, 496, 50, 50));
    EXPECT_EQ(window->engine->count_stones(), 2);
    EXPECT_EQ(window->engine->score_display->get_value(), 33);
    pick("Frameless");
    EXPECT_EQ(window->centralWidget()->size(), QSize(542, 480));
    pick("Broken");
    EXPECT_TRUE(window->style_module->file_path().endsWith("standard highcolor.lvr"));
    EXPECT_EQ(window->Settings.line(11), "Broken.lvr");
    pick("Alpha");
    pick("Standard");
    EXPECT_EQ(window->Settings.line(11), "standard highcolor.lvr");
    EXPECT_EQ(geometry_of(*window, 80), QRect(473, 416, 40, 40));
}

TEST_F(GameFolder, APictureTheStyleLacksIsReportedAndTheGameGoesOn) {
    write_style("partial.lvr", {}, {"red0006", "game_over"});
    store_setting(11, "partial.lvr");
    std::unique_ptr<TForm1> window = start();
    set_board(*window->engine, {"R"});
    ModalAnswer box;
    click(window->field_labels[0]);
    ASSERT_TRUE(run_until([&] { return box.answered() > 0; }));
    EXPECT_TRUE(box.texts[0].endsWith("] Resource red0006 not found")) << box.texts[0].toStdString();
    EXPECT_EQ(window->engine->selected, &window->engine->field_images[0]);
    window->menu->New->trigger();
    ASSERT_TRUE(run_until([&] { return box.texts.filter("Resource game_over not found").size() == 1; }));
}

struct DepthCase {
    const char* name;
    int depth;
    const char* low_colour_setting;
    bool low_colour_file;
    const char* expected_style;
    int warnings;  // the colour-depth warning
};

class ScreenDepth : public GameFolder, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(ScreenDepth, ChoosesTheStandardStyleThatSuitsTheScreen) {
    const DepthCase& c = GetParam();
    store_setting(10, c.low_colour_setting);
    if (!c.low_colour_file) QFile::remove("standard lowcolor.lvr");
    ModalAnswer warning;
    std::unique_ptr<TForm1> window = start(c.depth);
    EXPECT_TRUE(window->style_module->file_path().endsWith(c.expected_style))
        << window->style_module->file_path().toStdString();
    EXPECT_EQ(warning.answered(), c.warnings);
}

// On a screen of 256 colours without the low-colour style the warning comes at every start until
// its box is ticked; its Help shows the colour-depth topic.
TEST_F(GameFolder, TheColourDepthWarningComesUntilItIsToldNeverAgain) {
    QFile::remove("standard lowcolor.lvr");
    store_setting(kAutosaveLine, "0");
    for (const bool tick : {false, true}) {
        ModalAnswer warning([tick](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Warning! Please read closely!");
            dialog->findChild<QPushButton*>("Button2")->click();
            const auto* help = dialog->findChild<HelpWindow*>();
            EXPECT_TRUE(help && help->isVisible());
            dialog->findChild<QCheckBox*>("CheckBox1")->setChecked(tick);
            dialog->findChild<QPushButton*>("Button1")->click();
        });
        start(8);
        EXPECT_EQ(warning.answered(), 1);
        EXPECT_EQ(stored_setting(kLowColourLine), tick ? "0" : "1");
    }
    ModalAnswer none;
    start(8);
    EXPECT_EQ(none.answered(), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenDepth,
                         ::testing::Values(DepthCase{"TrueColour", 24, "1", false, "standard highcolor.lvr", 0},
                                           DepthCase{"EightBit", 8, "1", true, "standard lowcolor.lvr", 0},
                                           DepthCase{"EightBitLowColourOff", 8, "0", false, "standard highcolor.lvr", 0},
                                           DepthCase{"FourBitNoLowColourFile", 4, "1", false, "standard highcolor.lvr", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameFolder, AStyleDrawnForMoreColoursThanTheScreenHasWarnsAtEachLayout) {
    write_style("deep.lvr", {{4, "24"}});
    store_setting(11, "deep.lvr");
    ModalAnswer warnings;
    std::unique_ptr<TForm1> window = start(16);
    ASSERT_EQ(warnings.answered(), 2);
    EXPECT_EQ(warnings.texts[0],
              "[Warning!] You are using a graphic add-on that is designed for 24-bit color depths.\n Your display is "
              "currently set to 16-bit colors, so that you will\n most likely experience problems like crippled "
              "graphics and flashing bitmaps.\n Please switch to a higher color depth in order to fix this.");
    EXPECT_TRUE(window->style_module->file_path().endsWith("deep.lvr"));
}

using GameFolderDeathTest = GameFolder;

TEST_F(GameFolderDeathTest, WithoutTheHighColourStyleTheProgramStopsWithAMessage) {
    QFile::remove("standard highcolor.lvr");
    EXPECT_EXIT(
        {
            ModalAnswer box;
            start();
        },
        ::testing::ExitedWithCode(1),
        "\\[Error while loading resources\\] Your resource File \"standard highcolor.lvr\" seems to be missing. "
        "Please re-install Quorvel.");
}

namespace {

// Clicks the chooser's entry `entry` (none when empty) and presses `button`.
std::function<void(QWidget*)> choose(const QString& entry, const char* button, QStringList* listed = nullptr) {
    return [=](QWidget* dialog) {
        auto* chooser = dynamic_cast<Tload_libraries*>(dialog);
        if (!chooser) return static_cast<void>(static_cast<QDialog*>(dialog)->accept());  // the 256-colour warning
        for (int row = 0; listed && row < chooser->ListBox1->count(); ++row) *listed << chooser->ListBox1->item(row)->text();
        if (!entry.isEmpty()) {
            const QRect place = chooser->ListBox1->visualItemRect(chooser->ListBox1->findItems(entry, Qt::MatchExactly)[0]);
            QTest::mouseClick(chooser->ListBox1->viewport(), Qt::LeftButton, {}, place.center());
            EXPECT_FALSE(chooser->Image1->pixmap().isNull());
        }
        chooser->findChild<QPushButton*>(button)->click();
    };
}

}  // namespace

// The chooser lists the add-ons and the standard style that suits the screen, previews the one
// clicked and loads it; a broken one is ignored without a word, Load with nothing chosen changes
// nothing, and with no add-ons it hides Load. On 256 colours Load warns first.
TEST_F(GameFolder, TheChooserLoadsTheAddOnPickedFromItsList) {
    for (const QString& file : list_game_files("*.lvr"))
        if (!file.startsWith("standard ")) QFile::remove(file);  // the add-ons the game ships
    std::unique_ptr<TForm1> window = start(24);
    QStringList listed;
    {
        ModalAnswer cancel(choose("", "Button3", &listed));
        window->LoadAdditionalGraphics1Click();
    }
    EXPECT_EQ(listed, QStringList{"Standard Highcolor"});
    EXPECT_FALSE(window->load_libraries->Button1->isVisibleTo(window->load_libraries));
    EXPECT_FALSE(window->load_libraries->GroupBox1->isVisibleTo(window->load_libraries));

    write_style("Alpha.lvr", {{1, "50"}});
    write_style("Blank.lvr", {}, {"empty"});
    for (const auto& [entry, style] : {std::pair{"Alpha", "Alpha.lvr"}, {"Blank", "Alpha.lvr"}, {"", "Alpha.lvr"}}) {
        ModalAnswer load(choose(entry, "Button1"));
        window->LoadAdditionalGraphics1Click();
        EXPECT_TRUE(window->style_module->file_path().endsWith(style)) << entry;
        EXPECT_EQ(window->Settings.line(kStyleLine), "Alpha.lvr");
        EXPECT_EQ(geometry_of(*window, 80), QRect(553, 496, 50, 50));
        EXPECT_TRUE(window->movetimer->isActive());
    }
    window.reset();
    store_setting(kStyleLine, "standard lowcolor.lvr");
    store_setting(kAutosaveLine, "0");
    window = start(8);
    listed.clear();
    ModalAnswer warned(choose("Alpha", "Button1", &listed));
    window->LoadAdditionalGraphics1Click();
    EXPECT_TRUE(listed.contains("Standard Lowcolor") && !listed.contains("Standard Highcolor"));
    ASSERT_EQ(warned.answered(), 2);
    EXPECT_FALSE(window->load_libraries->GroupBox2->isVisibleTo(window->load_libraries));
    EXPECT_TRUE(warned.texts[1].startsWith("[Warning] You are currently running windows with only 256 colors"));
    EXPECT_TRUE(window->style_module->file_path().endsWith("Alpha.lvr"));
}

namespace {

// An add-on of nothing but its preview stone, all red.
void write_red_preview_style(const QString& file) {
    QImage stone(40, 40, QImage::Format_ARGB32);
    stone.fill(Qt::red);
    ResourceModuleWriter writer;
    writer.add_bitmap("blue0005", stone);
    ASSERT_TRUE(writer.write(file));
}

QImage preview_stone(const QString& entry) {
    return GraphicStyle::open(entry + ".lvr", 1)->picture("blue0005")->toImage();
}

}  // namespace

TEST_F(GameFolder, TheChoosersPreviewFollowsTheArrowKeys) {
    for (const QString& file : list_game_files("*.lvr"))
        if (!file.startsWith("standard ")) QFile::remove(file);
    write_red_preview_style("Alpha.lvr");
    std::unique_ptr<TForm1> window = start(24);
    QStringList previewed;
    ModalAnswer keys([&previewed](QWidget* dialog) {
        auto* chooser = static_cast<Tload_libraries*>(dialog);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(chooser->ListBox1, key);
            const QString entry = chooser->ListBox1->currentItem()->text();
            EXPECT_TRUE(chooser->Image1->pixmap().toImage() == preview_stone(entry)) << entry.toStdString();
            previewed << entry;
        }
        ModalAnswer::close_window(dialog);
    });
    window->LoadAdditionalGraphics1Click();
    ASSERT_EQ(previewed.size(), 3);
    EXPECT_NE(previewed[0], previewed[1]);
}

// A picture larger than its role allows counts as missing, and so does one that would take the
// style past its budget of decoded bytes: a hostile add-on cannot eat the memory.
TEST_F(GameFolder, PicturesLargerThanTheirRoleOrTheStylesBudgetCountAsMissing) {
    ResourceModuleWriter writer;
    writer.add_string(1, "400");
    QImage stone(1600, 1600, QImage::Format_ARGB32);  // 10 MB decoded; four fit the budget
    stone.fill(Qt::red);
    for (int frame = 0; frame < 6; ++frame) writer.add_bitmap(QString("red%1").arg(frame, 4, 10, QChar('0')), stone);
    writer.add_bitmap("blue0005", stone.copy(0, 0, 1601, 10));
    writer.add_bitmap("title", QImage(1025, 10, QImage::Format_ARGB32));
    writer.add_bitmap("lcd1", QImage(121, 45, QImage::Format_ARGB32));
    writer.add_bitmap("lcd2", QImage(120, 180, QImage::Format_ARGB32));
    ASSERT_TRUE(writer.write("hostile.lvr"));
    GraphicStyle style(ResourceModule::open("hostile.lvr"), 1);
    for (const char* too_large : {"blue0005", "title", "lcd1"}) EXPECT_FALSE(style.picture(too_large)) << too_large;
    EXPECT_TRUE(style.picture("lcd2"));
    int decoded = 0;
    for (int frame = 0; frame < 6; ++frame) decoded += style.picture(QString("red%1").arg(frame, 4, 10, QChar('0'))).has_value();
    EXPECT_EQ(decoded, 4);
}

// At a device pixel ratio of 2 a picture comes from its @2x entry when that is exactly twice the
// plain one, and carries the ratio; at 1, or without a fitting @2x entry, the plain picture.
// @2x pictures count against the budget, and one that would pass it gives way to the plain one.
TEST_F(GameFolder, SharpPicturesComeFromEntriesOfTwiceTheSizeWithinTheBudget) {
    ResourceModuleWriter writer;
    writer.add_string(1, "400");
    const auto add = [&writer](const QString& name, int width, int height) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        writer.add_bitmap(name, image);
    };
    add("empty", 40, 40);
    add("empty@2x", 80, 80);
    add("lcd1", 30, 45);
    add("lcd1@2x", 59, 90);
    add("blue0005", 40, 40);
    add("quest0005@2x", 80, 80);
    QStringList frames;
    for (int frame = 0; frame < 6; ++frame) {
        frames << QString("red%1").arg(frame, 4, 10, QChar('0'));
        add(frames.back(), 800, 800);            // 2.5 MB decoded
        add(frames.back() + "@2x", 1600, 1600);  // 10 MB: four fit the budget
    }
    ASSERT_TRUE(writer.write("sharp.lvr"));
    const auto ratios = [](GraphicStyle& style, const QStringList& names) {
        QList<qreal> seen;
        for (const QString& name : names) seen << (style.picture(name) ? style.picture(name)->devicePixelRatio() : 0);
        return seen;
    };
    GraphicStyle plain(ResourceModule::open("sharp.lvr"), 1);
    EXPECT_EQ(ratios(plain, QStringList{"empty", "lcd1", "blue0005", "quest0005"} + frames),
              (QList<qreal>{1, 1, 1, 0, 1, 1, 1, 1, 1, 1}));
    GraphicStyle sharp(ResourceModule::open("sharp.lvr"), 2);
    EXPECT_EQ(ratios(sharp, QStringList{"empty", "lcd1", "blue0005", "quest0005"} + frames),
              (QList<qreal>{2, 1, 1, 0, 2, 2, 2, 2, 1, 1}));
    EXPECT_EQ(logical_size(*sharp.picture("empty")), QSize(40, 40));
    EXPECT_EQ(logical_size(*sharp.picture("lcd1")), QSize(30, 45));
}

namespace {

struct StyleChange {
    const char* name;
    const char* stored_style;
    void (*change)(TForm1& window);
    const char* marked;
};

class StyleMark : public GameFolder, public ::testing::WithParamInterface<StyleChange> {};

void pick(TForm1& window, const QString& caption) {
    for (QAction* item : window.menu->GraphicStyle1->actions())
        if (item->text() == caption) item->trigger();
}

void load_from_chooser(TForm1& window, const QString& entry) {
    ModalAnswer load(choose(entry, "Button1"));
    window.LoadAdditionalGraphics1Click();
}

}  // namespace

TEST_P(StyleMark, TheGraphicStyleMenuMarksTheStyleInUseAlone) {
    const StyleChange& c = GetParam();
    write_style("Alpha.lvr", {});
    write_style("Broken.lvr", {}, {"red0005"});
    store_setting(kStyleLine, c.stored_style);
    std::unique_ptr<TForm1> window = start();
    window->show();
    if (c.change) c.change(*window);
    QStringList marked;
    for (const QAction* item : window->menu->GraphicStyle1->actions())
        if (item->isChecked()) marked << item->text();
    EXPECT_EQ(marked, QStringList(c.marked));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, StyleMark,
    ::testing::Values(
        StyleChange{"StartWithTheStandardStyle", "", nullptr, "Standard"},
        StyleChange{"StartWithAStoredAddOn", "Alpha.lvr", nullptr, "Alpha"},
        StyleChange{"StartWithAStoredFileThatIsGone", "Gone.lvr", nullptr, "Standard"},
        StyleChange{"ChooseAnAddOn", "", [](TForm1& window) { pick(window, "Alpha"); }, "Alpha"},
        StyleChange{"ChooseStandard", "Alpha.lvr", [](TForm1& window) { pick(window, "Standard"); }, "Standard"},
        StyleChange{"ChooseABrokenAddOn", "Alpha.lvr", [](TForm1& window) { pick(window, "Broken"); }, "Standard"},
        StyleChange{"LoadAnAddOnFromTheChooser", "", [](TForm1& window) { load_from_chooser(window, "Alpha"); },
                    "Alpha"},
        StyleChange{"LoadStandardFromTheChooser", "Alpha.lvr",
                    [](TForm1& window) { load_from_chooser(window, "Standard Highcolor"); }, "Standard"}),
    [](const auto& info) { return std::string(info.param.name); });
