#include "game_fixture.h"

#include "app/field_label.h"
#include "app/main_window_menu.h"
#include "app/settings_store.h"
#include "localisation/help_window.h"
#include "localisation/language_blocks.h"
#include "localisation/languages.h"
#include "platform/registry.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTextBrowser>

namespace {

void store_language_value(const QByteArray& value) {
    Registry registry;
    registry.write_string("set", "language", value);
    ASSERT_TRUE(registry.flush());
}

QAction* language_entry(const TForm1& window, const QString& code) {
    for (QAction* item : window.menu->LanguageChoices->actions())
        if (item->data().toString() == code) return item;
    return nullptr;
}

QString field_name(const TForm1& window) {
    return QAccessible::queryAccessibleInterface(window.field_labels[0])->text(QAccessible::Name);
}

// What the window shows in the language of the block at `base`: the menu bar, the caption, a
// field's name for screen readers.
void expect_window_in(const TForm1& window, int base) {
    const Languages& texts = *window.languages;
    EXPECT_EQ(texts.base_id, base);
    EXPECT_EQ(window.menu->Game->title(), texts.get_string(1));
    EXPECT_EQ(window.menu->Language1->title(), texts.get_string(190));
    EXPECT_EQ(window.menu->SystemLanguage1->text(), texts.get_string(191));
    EXPECT_TRUE(window.windowTitle().startsWith(texts.get_string(24)));
    EXPECT_TRUE(field_name(window).startsWith(texts.get_string(160).section(u'%', 0, 0))) << field_name(window).toStdString();
}

}  // namespace

// The menu offers the desktop's language and each language by its own name; a choice takes effect
// in the open window and its help at once, is stored, and wins over the desktop at the next start.
TEST_F(GameFolder, TheLanguageMenuSwitchesTheOpenWindowAndItsHelpAndIsRememberedAcrossStarts) {
    store_setting(kAutosaveNoticeLine, "0");
    {
        std::unique_ptr<TForm1> window = start();
        window->show();
        QStringList entries;
        for (const QAction* item : window->menu->LanguageChoices->actions()) entries << item->text();
        QStringList expected{window->languages->get_string(191)};
        for (const LanguageBlock& block : language_blocks()) expected << QString::fromUtf8(block.endonym);
        EXPECT_EQ(entries, expected);
        EXPECT_TRUE(window->menu->SystemLanguage1->isChecked());
        const QString desktop_field_name = field_name(*window);

        language_entry(*window, "fr")->trigger();
        expect_window_in(*window, 8000);
        EXPECT_NE(field_name(*window), desktop_field_name);
        EXPECT_EQ(Registry().read_string("set", "language"), "fr");

        window->menu->Rules->trigger();
        auto* help = window->findChild<HelpWindow*>();
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->topic(), "IDH_French");
        emit help->browser()->anchorClicked(QUrl("#IDH_256_French"));
        language_entry(*window, "pl")->trigger();
        EXPECT_EQ(help->topic(), "IDH_256_Polish");
        EXPECT_TRUE(help->isVisible());
        expect_window_in(*window, 14000);
    }
    std::unique_ptr<TForm1> again = start();
    expect_window_in(*again, 14000);
    EXPECT_TRUE(language_entry(*again, "pl")->isChecked());
    again->menu->SystemLanguage1->trigger();
    EXPECT_EQ(Registry().read_string("set", "language"), "");
    EXPECT_EQ(again->languages->base_id, Languages("languages.dll").base_id);
}

// A value no version wrote is the desktop's language; the store keeps the rest as it was.
TEST_F(GameFolder, AnUnknownStoredLanguageIsTheDesktopsLanguage) {
    store_setting(kAutosaveNoticeLine, "0");
    for (const QByteArray& value : {QByteArray("xx"), QByteArray("fr\nde"), QByteArray(4000, 'f'), QByteArray("\xff\xfe")}) {
        store_language_value(value);
        std::unique_ptr<TForm1> window = start();
        EXPECT_TRUE(window->menu->SystemLanguage1->isChecked());
        EXPECT_EQ(window->languages->base_id, Languages("languages.dll").base_id);
    }
}
