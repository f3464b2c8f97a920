#include "app/main_window.h"
#include "app/main_window_menu.h"

#include "app/field_label.h"
#include "app/settings_store.h"
#include "engine/spielklasse.h"
#include "localisation/help_window.h"
#include "localisation/language_blocks.h"
#include "localisation/languages.h"

#include <QActionGroup>
#include <QLocale>
#include <QMenu>

// One entry per language the library holds. Languages go by their own names, which no block
// translates: the entries have no Tag.
void TForm1::fill_language_menu() {
    for (const LanguageBlock& block : language_blocks()) {
        if (!languages->holds(block)) continue;
        QAction* item = menu->Language1->addAction(QString::fromUtf8(block.endonym));
        item->setObjectName(QString::fromLatin1(block.code));
        item->setCheckable(true);
        item->setData(QString::fromLatin1(block.code));
        menu->LanguageChoices->addAction(item);
    }
}

// The menu's choice is stored at once, so a later crash keeps it.
void TForm1::choose_language(const QString& code) {
    store_language(*registry_, code);
    save_settings();
    apply_language_choice();
}

// The stored choice first, then the desktop's languages. Whatever is open follows at once: the
// menus and the window caption, what screen readers say about the board, and the help window;
// the dialogs take their texts when they are next shown.
void TForm1::apply_language_choice() {
    const QString chosen = stored_language(*registry_);
    QStringList preferred = QLocale::system().uiLanguages();
    if (!chosen.isEmpty()) preferred.prepend(chosen);
    languages->choose(preferred);

    QAction* mark = menu->SystemLanguage1;
    for (QAction* item : menu->LanguageChoices->actions())
        if (!chosen.isEmpty() && item->data().toString() == chosen) mark = item;
    mark->setChecked(true);

    apply_menu_captions();
    update_caption();
    rename_for_screen_readers();
    auto* help = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (help && help->isVisible()) {
        const QString topic = same_topic_in(help->topic(), languages->block());
        help->open_topic(topic.isEmpty() ? QString::fromLatin1(languages->block().rules_topic) : topic);
    }
}

void TForm1::rename_for_screen_readers() {
    if (!engine) return;
    for (TMyImage& image : engine->field_images) name_field(image);
    for (TMyImage& image : engine->preview_images) name_field(image);
    name_score(digit_labels.value(&engine->score_display->digit_image(1)));
}
