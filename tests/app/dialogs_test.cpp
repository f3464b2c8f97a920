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

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>

#include <cstdlib>

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
    // A screen reader says what each button and check box does.
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        EXPECT_FALSE(button->accessibleDescription().isEmpty()) << button->text().toStdString();
}

// The result's texts stand whole between the picture's frame and the OK button.
void expect_result_fits(QWidget* dialog, const QRect& frame) {
    const QRect ok = dialog->findChild<QPushButton*>("OKBtn")->geometry();
    EXPECT_FALSE(dialog->findChild<QPushButton*>("OKBtn")->accessibleDescription().isEmpty());
    for (const char* name : {"ScoreText", "PlaceText"}) {
        const auto* label = dialog->findChild<QLabel*>(name);
        EXPECT_FALSE(label->text().isEmpty()) << name;
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        EXPECT_LE(label->sizeHint().height(), label->height()) << label->text().toStdString();
        EXPECT_TRUE(dialog->rect().contains(label->geometry())) << name;
        EXPECT_GE(label->y(), frame.bottom()) << name;
        EXPECT_LE(label->geometry().bottom(), ok.top()) << name;
    }
    EXPECT_TRUE(dialog->rect().contains(ok));
}

class DialogTexts : public GameFolder, public ::testing::WithParamInterface<const char*> {};

}  // namespace

TEST_P(DialogTexts, TheConfirmationShowsItsTextsWholeAndAnswers) {
    const Languages languages("languages.dll", QStringList{GetParam()});
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

// A picture of any size sits in the middle of the frame, a larger one cut to 300 x 150; the
// result's texts stand whole under the frame, the dialog widening for a large font.
TEST_P(DialogTexts, TheGameOverDialogCentresItsPictureAndShowsTheResultWhole) {
    const struct {
        const char* what;
        QSize picture;
        QSize shown;
        int font_pixels;  // 0: the desktop's font
    } cases[] = {
        {"a smaller picture", {200, 100}, {200, 100}, 0},
        {"a larger picture, cut", {640, 480}, {300, 150}, 0},
        {"a narrow high picture, a large font", {120, 160}, {120, 150}, 30},
    };
    const Languages languages("languages.dll", QStringList{GetParam()});
    QWidget main_window;
    main_window.move(30, 40);
    for (const auto& [what, picture_size, shown, font_pixels] : cases) {
        SCOPED_TRACE(what);
        QPixmap picture(picture_size);
        picture.fill(Qt::red);
        Tgame_over game_over(&main_window, languages, [&](const QString& name) {
            return name == "game_over" ? std::optional<QPixmap>(picture) : std::nullopt;
        });
        if (font_pixels) {
            QFont font = game_over.font();
            font.setPixelSize(font_pixels);
            game_over.setFont(font);
        }
        game_over.show_result(1234, 3, 9);
        ModalAnswer answer([&](QWidget* dialog) {
            EXPECT_EQ(dialog->pos(), QPoint(30, 40));
            const QRect frame = dialog->findChild<QFrame*>("go_bevel")->geometry();
            const QRect logo = dialog->findChild<QLabel*>("go_logo")->geometry();
            EXPECT_EQ(logo.size(), shown);
            EXPECT_LE(std::abs((logo.left() - frame.left()) - (frame.right() - logo.right())), 1);
            EXPECT_LE(std::abs((logo.top() - frame.top()) - (frame.bottom() - logo.bottom())), 1);
            expect_result_fits(dialog, frame);
            dialog->findChild<QPushButton*>("OKBtn")->click();
        });
        EXPECT_EQ(game_over.exec(), 1);
        EXPECT_EQ(game_over.windowTitle(), languages.get_string(63));
        EXPECT_FALSE(game_over.isVisible());
    }
}

TEST_P(DialogTexts, TheColourWarningAndTheAddOnChooserShowTheirTextsWhole) {
    const Languages languages("languages.dll", QStringList{GetParam()});
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

INSTANTIATE_TEST_SUITE_P(Languages, DialogTexts, ::testing::Values("en", "de", "es", "da", "fr", "it", "nl", "pl", "pt_BR", "sv"),
                         [](const auto& info) { return std::string(info.param); });

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
