#include "game_fixture.h"

#include "app/field_label.h"
#include "engine/spielklasse.h"
#include "localisation/languages.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

#include <utility>

namespace {

QString screen_reader_name(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

QString screen_reader_description(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Description);
}

// The window speaks the system's language: English, or German on a German system.
QString in_window_language(const TForm1& window, const char* english, const char* german) {
    return QString::fromUtf8(window.languages->get_language().contains("German") ? german : english);
}

}  // namespace

TEST_F(GameFolder, AFieldTellsScreenReadersItsPlaceAndContentAsAButton) {
    struct Case {
        const char* meaning;
        int color;
        int kind;
        bool on_board;
        int tag;
        bool selected;
        const char* english;
        const char* german;
    };
    const Case cases[] = {
        {"empty corner", 0, kNoSpecial, true, 0, false, "row 1, column 1: empty", "Zeile 1, Spalte 1: leer"},
        {"red stone", 1, kNoSpecial, true, 29, false, "row 4, column 3: red stone", "Zeile 4, Spalte 3: roter Stein"},
        {"pulsing selected stone", 9, kNoSpecial, true, 21, true, "row 3, column 4: red stone, selected",
         "Zeile 3, Spalte 4: roter Stein, ausgewählt"},
        {"joker", kSpecialStone, kJoker, true, 80, false, "row 9, column 9: joker", "Zeile 9, Spalte 9: Joker"},
        {"appearing dynamite", 88, kDynamite, true, 8, false, "row 1, column 9: dynamite", "Zeile 1, Spalte 9: Dynamit"},
        {"question stone", kSpecialStone, kQuestion, true, 72, false, "row 9, column 1: question stone",
         "Zeile 9, Spalte 1: Fragezeichenstein"},
        {"preview slot", 3, kNoSpecial, false, 0, false, "next stone 1: blue stone", "nächster Stein 1: blauer Stein"},
    };
    const Languages english("languages.dll", QStringList{"en"});
    const Languages german("languages.dll", QStringList{"de"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.meaning);
        TMyImage image{c.color, c.kind, c.on_board, false, c.tag, "", nullptr};
        FieldLabel field(nullptr, image, [](TMyImage&) {});
        field.name_for_screen_readers(english, c.selected);
        EXPECT_EQ(screen_reader_name(&field), QString::fromUtf8(c.english));
        EXPECT_EQ(screen_reader_description(&field), english.get_string(c.on_board ? 175 : 176));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&field)->role(), QAccessible::Button);
        field.name_for_screen_readers(german, c.selected);
        EXPECT_EQ(screen_reader_name(&field), QString::fromUtf8(c.german));
        EXPECT_EQ(screen_reader_description(&field), german.get_string(c.on_board ? 175 : 176));
    }
}

TEST_F(GameFolder, TheScreenReaderNamesFollowTheStonesAndTheScore) {
    std::unique_ptr<TForm1> window = start();
    Spielklasse& engine = *window->engine;
    set_board(engine, {"R", "G"});
    FieldLabel* corner = window->field_labels[0];
    EXPECT_EQ(screen_reader_name(corner), in_window_language(*window, "row 1, column 1: red stone", "Zeile 1, Spalte 1: roter Stein"));
    click(corner);
    EXPECT_EQ(screen_reader_name(corner),
              in_window_language(*window, "row 1, column 1: red stone, selected", "Zeile 1, Spalte 1: roter Stein, ausgewählt"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(screen_reader_name(corner), in_window_language(*window, "row 1, column 1: red stone", "Zeile 1, Spalte 1: roter Stein"));
    engine.score_display->set_value(120);
    QLabel* score = window->digit_labels.value(&engine.score_display->digit_image(1));
    EXPECT_EQ(screen_reader_name(score), in_window_language(*window, "Score: 120", "Punktzahl: 120"));
    EXPECT_EQ(screen_reader_description(score), window->languages->get_string(177));
}

TEST_F(GameFolder, TheScreenReaderFocusFollowsTheKeyboardFrame) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Left, 40}, {Qt::Key_Right, 41}, {Qt::Key_Down, 50}, {Qt::Key_Space, 50}};
    for (const auto& [key, field] : steps) {
        QTest::keyClick(window.get(), key);
        QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(window.get())->focusChild();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->object(), window->field_labels[static_cast<std::size_t>(field)]) << "after key " << key;
        EXPECT_TRUE(focused->state().focused);
    }
}
