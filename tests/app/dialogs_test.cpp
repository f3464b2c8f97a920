#include "game_fixture.h"

#include "app/main_window_menu.h"
#include "localisation/languages.h"
#include "presentation/addon_chooser.h"
#include "presentation/colour_depth_warning.h"
#include "presentation/confirm_dialog.h"
#include "presentation/game_over_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Every text of the dialog stands inside it, whole.
void expect_texts_fit(QWidget* dialog) {
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->objectName().startsWith("Image")) continue;  // a picture's place
        EXPECT_LE(label->x() + label->sizeHint().width(), label->parentWidget()->width()) << label->text().toStdString();
        EXPECT_FALSE(label->text().isEmpty());
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
            << button->text().toStdString();
}

class DialogTexts : public GameFolder, public ::testing::WithParamInterface<const char*> {};

}  // namespace

TEST_P(DialogTexts, TheConfirmationShowsItsTextsWholeAndAnswers) {
    const Languages languages("languages.dll", GetParam());
    QWidget main_window;
    main_window.move(100, 200);
    TConfirm1 confirm(&main_window, languages);
    {
        ModalAnswer no([](QWidget* dialog) {
            expect_texts_fit(dialog);
            EXPECT_EQ(dialog->pos(), QPoint(110, 275));
            dialog->findChild<QPushButton*>("Button2")->click();
        });
        EXPECT_EQ(confirm.exec(), TConfirm1::kNo);
    }
    EXPECT_EQ(confirm.windowTitle(), languages.get_string(44));
    ModalAnswer yes([](QWidget* dialog) { dialog->findChild<QPushButton*>("Button1")->click(); });
    EXPECT_EQ(confirm.exec(), TConfirm1::kYes);
}

TEST_P(DialogTexts, TheGameOverDialogCutsALargePictureToItsFrame) {
    const Languages languages("languages.dll", GetParam());
    QWidget main_window;
    main_window.move(30, 40);
    QPixmap huge(640, 480);
    huge.fill(Qt::red);
    Tgame_over game_over(&main_window, languages, [&](const QString& name) {
        return name == "game_over" ? std::optional<QPixmap>(huge) : std::nullopt;
    });
    ModalAnswer answer([](QWidget* dialog) {
        EXPECT_EQ(dialog->pos(), QPoint(30, 40));
        EXPECT_EQ(dialog->findChild<QLabel*>("go_logo")->size(), QSize(300, 150));
        dialog->findChild<QPushButton*>("OKBtn")->click();
    });
    EXPECT_EQ(game_over.exec(), 1);
    EXPECT_EQ(game_over.windowTitle(), languages.get_string(63));
    EXPECT_FALSE(game_over.isVisible());
}

TEST_P(DialogTexts, TheColourWarningAndTheAddOnChooserShowTheirTextsWhole) {
    const Languages languages("languages.dll", GetParam());
    QWidget main_window;
    Tcd_warning1 warning(&main_window, languages);
    Tload_libraries chooser(&main_window, languages, [] { return 32; });
    ModalAnswer answer([](QWidget* dialog) {
        expect_texts_fit(dialog);
        ModalAnswer::close_window(dialog);
    });
    warning.exec();
    chooser.exec();
    EXPECT_EQ(answer.answered(), 2);
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogTexts, ::testing::Values("English", "German"));

// How to play opens the help in the interface language where the help has it, else in English.
TEST(RulesTopic, FollowsTheFirstInterfaceLanguage) {
    const std::vector<std::pair<QStringList, QString>> cases{
        {{"de-DE", "en-US"}, "IDH_German"}, {{"de-AT"}, "IDH_German"},   {{"gsw-CH"}, "IDH_German"},
        {{"es-MX", "de"}, "IDH_Spanish"},   {{"da-DK"}, "IDH_Danish"},   {{"en-GB", "de"}, "IDH_ShortDescription"},
        {{"fr-FR", "de"}, "IDH_ShortDescription"},
    };
    for (const auto& [ui_languages, topic] : cases)
        EXPECT_EQ(rules_topic(interface_language_name(ui_languages)), topic) << ui_languages.join(' ').toStdString();
}
