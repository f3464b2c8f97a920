#include "game_fixture.h"

#include "app/main_window_menu.h"
#include "localisation/address_opener.h"
#include "localisation/help_window.h"
#include "localisation/languages.h"
#include "platform/project_addresses.h"
#include "presentation/addon_chooser.h"
#include "presentation/colour_depth_warning.h"
#include "presentation/confirm_dialog.h"
#include "presentation/game_over_dialog.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>

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
    const AddressOpener address_opener(languages);
    QWidget main_window;
    Tcd_warning1 warning(&main_window, languages, address_opener);
    Tload_libraries chooser(&main_window, languages, [] { return 32; }, address_opener);
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

namespace {

const QString kHelpWebLink = "https://quorvel.example.org/rules.html";

struct WebLink {
    const char* name;
    void (*follow)(TForm1& window);
    QString (*address)();
};

class WebLinks : public GameFolder, public ::testing::WithParamInterface<WebLink> {};

// Answers the add-on chooser with its website button, and keeps the texts of the other boxes.
std::function<void(QWidget*)> answer_with_website_button(QStringList* boxes) {
    return [boxes](QWidget* modal) {
        if (auto* chooser = dynamic_cast<Tload_libraries*>(modal)) {
            chooser->findChild<QPushButton*>("Button2")->click();
        } else {
            *boxes << modal_text(modal);
            const auto* box = qobject_cast<QMessageBox*>(modal);
            EXPECT_TRUE(box && box->textInteractionFlags() & Qt::TextSelectableByMouse);
        }
        ModalAnswer::close_window(modal);
    };
}

}  // namespace

TEST_P(WebLinks, ShowTheAddressToCopyWhenNoBrowserOpensIt) {
    bool browser_opens = true;
    QStringList opened;
    const auto browser = [&](const QUrl& address) {
        opened << address.toString();
        return browser_opens;
    };
    TForm1 window(TForm1::Options{0, 24, &random, &clock, browser});
    QStringList boxes;
    ModalAnswer answer(answer_with_website_button(&boxes));
    GetParam().follow(window);
    EXPECT_EQ(boxes, QStringList());
    browser_opens = false;
    GetParam().follow(window);
    const QString address = GetParam().address();
    EXPECT_EQ(opened, QStringList({address, address}));
    EXPECT_EQ(boxes, QStringList("[" + window.languages->get_string(140) + "] " + window.languages->get_string(141) +
                                 "\n" + address));
}

INSTANTIATE_TEST_SUITE_P(
    Callers, WebLinks,
    ::testing::Values(
        WebLink{"GetMoreGraphics", [](TForm1& window) { window.menu->GetMoreGraphics1->trigger(); },
                project_addons_address},
        WebLink{"AddOnChooserWebsiteButton", [](TForm1& window) { window.LoadAdditionalGraphics1Click(); },
                project_addons_address},
        WebLink{"HelpWebLink",
                [](TForm1& window) {
                    window.menu->Rules->trigger();
                    emit window.findChild<HelpWindow*>()->browser()->anchorClicked(QUrl(kHelpWebLink));
                },
                [] { return kHelpWebLink; }}),
    [](const auto& info) { return std::string(info.param.name); });
