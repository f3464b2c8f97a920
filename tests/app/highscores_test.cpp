#include "game_fixture.h"

#include "app/about_window.h"
#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "app/settings_store.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "highscores/name_entry_dialog.h"
#include "localisation/languages.h"
#include "platform/project_addresses.h"
#include "platform/registry.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <set>

namespace {

struct Entering {
    const char* name;
    int score;
    int place;            // -1: enters no table
    const char* new_line;  // the entry before its name
};

class EnteringScore : public ::testing::TestWithParam<Entering> {};

QString without_rank(const QString& line) { return line.mid(1); }

}  // namespace

TEST_P(EnteringScore, TakesThePlaceBelowEqualScoresAndMovesTheRestDown) {
    const Entering& entering = GetParam();
    const QStringList defaults = default_highscore_lines();
    ASSERT_EQ(highscore_place(defaults, entering.score), entering.place);
    if (entering.place < 0) return;
    const QString entry = new_highscore_line(entering.place, entering.score);
    EXPECT_EQ(entry, entering.new_line);
    const QStringList lines = insert_highscore(defaults, entering.place, entry + "Zoë");
    EXPECT_EQ(lines[entering.place], entry + "Zoë");
    for (int rank = 0; rank < entering.place; ++rank) EXPECT_EQ(lines[rank], defaults[rank]);
    for (int rank = entering.place + 1; rank < highscore::kEntries; ++rank) {
        EXPECT_EQ(lines[rank][0], QChar('1' + rank));
        EXPECT_EQ(without_rank(lines[rank]), without_rank(defaults[rank - 1]));
    }
    EXPECT_EQ(lines.mid(highscore::kEntries), defaults.mid(highscore::kEntries));  // the other table stays
}

INSTANTIATE_TEST_SUITE_P(
    Scores, EnteringScore,
    ::testing::Values(Entering{"TenEntersNot", 10, -1, ""}, Entering{"ElevenTakesRankNine", 11, 8, "9.    11        "},
                      Entering{"EqualGoesBelow", 500, 3, "4.    500       "},
                      Entering{"NineHundredLeads", 900, 0, "1.    900       "},
                      Entering{"FourDigitsSixBlanks", 1234, 0, "1.    1234      "},
                      Entering{"FiveDigitsFiveBlanks", 12345, 0, "1.    12345     "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HighscoreTables, PointsThatAreNoNumberCountAsNothing) {
    QStringList lines = default_highscore_lines();
    lines[2] = "3.    5x0 truncated";
    lines[3] = "4.";
    EXPECT_EQ(points_of(lines[2]), 0);
    EXPECT_EQ(points_of(lines[3]), 0);
    EXPECT_EQ(points_of("1.    99999999999 too long"), 0);
    EXPECT_EQ(highscore_place(lines, 1), 2);
}

// Names of every script survive the store byte for byte; a table stored with the high-bit flip
// loads, and is stored rotated from then on.
TEST_F(GameFolder, TablesSurviveTheStoreWhateverTheNamesAndWhicheverTransform) {
    QStringList lines = default_highscore_lines();
    const QStringList names{"Jürgen Weiß", "Łukasz", "日本語", "🎲 dice", QString(200, QChar(0x00E9)), "a  b\tc"};
    for (int i = 0; i < names.size(); ++i) lines[i] = new_highscore_line(i, 900 - i) + names[i];
    {
        Registry registry;
        write_highscores(registry, lines);
        ASSERT_TRUE(registry.flush());
    }
    EXPECT_EQ(load_highscores(Registry()), lines);

    QStringList old = default_highscore_lines();
    old[8] += QChar(0xE9);  // an older version wrote its names in Latin-1
    QList<QByteArray> flipped;
    for (const QString& line : old) flipped.append(flip_text(line.toLatin1()));
    Registry registry;
    for (int i = 0; i < flipped.size(); ++i) registry.write_string("hi", QString::number(i + 1), flipped[i]);
    ASSERT_TRUE(registry.flush());
    const QStringList loaded = load_highscores(Registry());
    EXPECT_EQ(loaded, old);
    write_highscores(registry, loaded);
    EXPECT_EQ(rotate_text(registry.read_string("hi", "1")), default_highscore_lines()[0].toUtf8());
}

// A game that ends with a highscore asks for a name (no way out without one), shows the table
// and stores it; the next start shows the same table.
TEST_F(GameFolder, AHighscoreIsNamedShownStoredAndBackAtTheNextStart) {
    std::unique_ptr<TForm1> window = start();
    window->QWidget::move(200, 150);
    window->show();
    window->engine->score_display->set_value(42);
    QStringList seen;
    QList<int> highlighted;  // the row marked each time the table shows
    ModalAnswer answer([&](QWidget* dialog) {
        seen << dialog->windowTitle();
        if (auto* name = dialog->findChild<QLineEdit*>("Edit1")) {
            auto* ok = dialog->findChild<QPushButton*>("okbtn");
            EXPECT_EQ(window->Highscores->lines(), default_highscore_lines());  // unchanged until the name is known
            EXPECT_FALSE(ok->isEnabled());
            dialog->close();
            EXPECT_TRUE(dialog->isVisible());
            QTest::keyClick(dialog, Qt::Key_Escape);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->pos(), window->pos() + QPoint(-20, 40));
            QTest::keyClicks(name, "Zo");
            name->insert("ë 日本");
            EXPECT_TRUE(ok->isEnabled());
            return ok->click();
        }
        if (auto* memo = dialog->findChild<TableMemo*>("Memo1")) {
            EXPECT_EQ(memo->toPlainText().split('\n')[8], "9.    42        Zoë 日本");
            EXPECT_EQ(dialog->pos(), window->pos() + QPoint(-10, 0));
            highlighted << memo->highlighted_row();
        }
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);  // the restored game's notice
    });
    window->menu->New->trigger();
    EXPECT_EQ(seen, QStringList({"Game Over", "New Highscore!", "Highscores - Regular Mode"}));
    window->menu->Highs->trigger();
    EXPECT_EQ(highlighted, QList<int>({8, -1}));  // the new entry, only right after the game
    const QStringList tables = window->Highscores->lines();
    EXPECT_EQ(tables[8], "9.    42        Zoë 日本");
    EXPECT_EQ(load_highscores(Registry()), tables);
    window.reset();
    EXPECT_EQ(start()->Highscores->lines(), tables);
}

// The local table's text stays as stored; it is drawn in columns, the points right-aligned whatever
// their digits and the names one under the other, in the dialog's font.
TEST_F(GameFolder, TheLocalTableIsDrawnInAlignedColumns) {
    std::unique_ptr<TForm1> window = start();
    THighscores& dialog = *window->Highscores;
    QStringList lines = default_highscore_lines();
    lines[0] = "1.    12345     Wide Wanda";
    lines[8] = "9.    7         Ivy";
    dialog.set_lines(lines);
    dialog.show();
    TableMemo& memo = *dialog.Memo1;
    EXPECT_EQ(memo.toPlainText().split('\n').mid(0, 9), lines.mid(0, 9));
    EXPECT_EQ(memo.font(), dialog.font());
    const QImage drawn = memo.viewport()->grab().toImage();
    const QRgb background = memo.palette().base().color().rgb();
    // The first and last column of ink in a row's band between two x positions; -1 where none.
    const auto ink = [&](int row, int from, int to) {
        const QRect band = memo.cell(row, TableColumn::Rank);
        std::pair<int, int> found{-1, -1};
        for (int x = from; x < to; ++x)
            for (int y = band.top(); y <= band.bottom(); ++y)
                if (drawn.pixel(x, y) != background) {
                    if (found.first < 0) found.first = x;
                    found.second = x;
                }
        return found;
    };
    const int name_left = memo.cell(0, TableColumn::Name).left();
    std::set<int> points_ends;
    std::set<int> name_starts;
    for (int row = 0; row < 9; ++row) {
        points_ends.insert(ink(row, memo.cell(row, TableColumn::Points).left(), name_left - 4).second);
        name_starts.insert(ink(row, name_left - 4, drawn.width()).first);
    }
    EXPECT_LE(*points_ends.rbegin() - *points_ends.begin(), 1) << points_ends.size();
    EXPECT_LE(*name_starts.rbegin() - *name_starts.begin(), 2) << name_starts.size();
    dialog.hide();
}

TEST_F(GameFolder, ResettingAsksAndYesEndsTheGameWithBothTablesGone) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    QStringList changed = default_highscore_lines();
    changed[0] = new_highscore_line(0, 5000) + "Kept";
    window->Highscores->set_lines(changed);
    const auto answering = [](QMessageBox::StandardButton button) {
        return ModalAnswer([button](QWidget* box) {
            EXPECT_EQ(static_cast<QMessageBox*>(box)->button(QMessageBox::No)->text(), "No");
            static_cast<QMessageBox*>(box)->button(button)->click();
        });
    };
    {
        ModalAnswer no = answering(QMessageBox::No);
        window->menu->ResetHighscores1->trigger();
        EXPECT_EQ(no.texts, QStringList(QString("[Reset Highscores] Do you really want to reset both highscore tables?\n"
                                                "Quorvel will close now and start with fresh tables next time.")));
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Highscores->lines(), changed);
    {
        ModalAnswer yes = answering(QMessageBox::Yes);
        window->menu->ResetHighscores1->trigger();
    }
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(Registry().key_exists("hi"));
    EXPECT_EQ(stored_setting(kStartCountLine), "2");  // the rest of the store was saved on the way out
    window.reset();
    ModalAnswer notice;
    EXPECT_EQ(start()->Highscores->lines(), default_highscore_lines());
}

class DialogLanguage : public GameFolder, public ::testing::WithParamInterface<const char*> {
protected:
    // Every text stands whole inside its window.
    static void expect_texts_fit(QWidget* window) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(window) || !label->pixmap().isNull()) continue;
            EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            EXPECT_LE(label->x() + label->sizeHint().width(), window->width()) << label->text().toStdString();
        }
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (!button->isVisibleTo(window)) continue;
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width());
            EXPECT_LE(button->geometry().right(), window->width()) << button->text().toStdString();
            EXPECT_FALSE(button->accessibleDescription().isEmpty()) << button->text().toStdString();
        }
    }
};

TEST_P(DialogLanguage, NameEntryServesBothFormsAndKeepsItsTexts) {
    const Languages languages("languages.dll", QStringList{GetParam()});
    QWidget main_window;
    Tname_enter posting_first(&main_window, languages);
    posting_first.prepare_posting_form();
    EXPECT_EQ(posting_first.okbtn->text(), languages.get_string(305));
    Tname_enter dialog(&main_window, languages);
    dialog.prepare_name_form();
    const auto screen_reader_name = [](QWidget* edit) {
        return QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name);
    };
    ModalAnswer named([&](QWidget*) {
        expect_texts_fit(&dialog);
        EXPECT_EQ(screen_reader_name(dialog.Edit1), languages.get_string(303));
        dialog.Edit1->setText("x");  // one character is enough
        dialog.close();
    });
    dialog.exec();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), languages.get_string(301));

    dialog.prepare_posting_form();
    ModalAnswer posting([&](QWidget*) {
        expect_texts_fit(&dialog);
        EXPECT_EQ(screen_reader_name(dialog.Edit2), languages.get_string(96));
        EXPECT_EQ(screen_reader_name(dialog.Edit3), languages.get_string(97));
        EXPECT_TRUE(dialog.Edit2->text().isEmpty());
        dialog.Edit2->setText("ann@example.org");
        EXPECT_FALSE(dialog.okbtn->isEnabled());  // the place is still missing; the hidden name does not count
        dialog.Edit3->setText("Graz, Austria");
        dialog.okbtn->click();
    });
    dialog.exec();
    EXPECT_EQ(dialog.Edit1->text(), "d");
    EXPECT_EQ(posting.answered(), 1);

    dialog.prepare_name_form();
    dialog.Edit1->setText("Ann");
    ModalAnswer again([&](QWidget*) {
        EXPECT_EQ(dialog.Edit3->text(), "Graz, Austria");
        QTest::keyClick(&dialog, Qt::Key_Escape);  // filled, so Escape closes as OK does
    });
    EXPECT_EQ(dialog.exec(), 1);
}

TEST_P(DialogLanguage, AboutAndHighscoreWindowsShowTheirTextsWhole) {
    const Languages languages("languages.dll", QStringList{GetParam()});
    QWidget main_window;
    main_window.move(60, 70);
    QPixmap title(640, 480);
    const auto pictures = [&](const QString& name) { return name == "title" ? std::optional(title) : std::nullopt; };
    Tabout_window about_window(&main_window, languages, pictures, "1.20");
    ModalAnswer about([&](QWidget* dialog) {
        expect_texts_fit(dialog);
        EXPECT_EQ(dialog->size(), QSize(561, 291));
        EXPECT_EQ(dialog->pos(), QPoint(60, 70));
        EXPECT_EQ(about_window.Image1->pixmap().size(), QSize(241, 180));  // shrunk, whole
        static_cast<QDialog*>(dialog)->accept();
    });
    about_window.exec();
    EXPECT_EQ(about.texts.value(0), "[] Quorvel 1.20 " + languages.get_string(212) + " " + project_contact_address() +
                                        " " + languages.get_string(201) + project_web_address());

    THighscores highscores(&main_window, languages, default_highscore_lines(), {[] { return false; }, [] { return 24; }, "1.20", {}});
    ModalAnswer table([&](QWidget* dialog) {
        expect_texts_fit(dialog);
        highscores.post_button->setText(languages.get_string(85));  // once a page is there
        expect_texts_fit(dialog);
        EXPECT_EQ(dialog->windowTitle(), languages.get_string(87));
        EXPECT_EQ(highscores.Label1->text(), languages.get_string(81));
        for (const auto& [table, heading] : {std::pair{static_cast<QWidget*>(highscores.Memo1), 81},
                                             std::pair{static_cast<QWidget*>(highscores.Display), 82}})
            EXPECT_EQ(QAccessible::queryAccessibleInterface(table)->text(QAccessible::Name),
                      languages.get_string(heading).remove(':').trimmed());
        static_cast<QDialog*>(dialog)->accept();
    });
    highscores.exec();
    EXPECT_EQ(table.answered(), 1);
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogLanguage, ::testing::Values("en", "de", "es", "da", "fr", "it", "nl", "pl", "pt_BR", "sv"),
                         [](const auto& info) { return std::string(info.param); });
