#include "app/main_window.h"
#include "app/main_window_menu.h"
#include "platform/game_files.h"
#include "platform/project_addresses.h"
#include "presentation/addon_chooser.h"
#include "presentation/colour_depth.h"
#include "presentation/graphic_style.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace {

// The style files other than the two standard ones, as the folders list them.
QStringList addon_files() {
    QStringList addons;
    for (const QString& file : list_game_files("*" + kStyleExtension))
        if (file != kHighColourStyle && file != kLowColourStyle) addons.append(file);
    return addons;
}

}  // namespace

// Each add-on goes in above the ones before it, so the menu shows them in reverse listing order.
// The show event comes again after every minimise, and the items are made once.
void TForm1::scan_addons() {
    if (addons_scanned_) return;
    addons_scanned_ = true;
    for (const QString& file : addon_files()) {
        QString caption = file.chopped(kStyleExtension.size());
        auto* item = new QAction(caption.replace('&', "&&"), menu->GraphicStyle1);
        item->setData(file);
        item->setCheckable(true);
        menu->GraphicStyles->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { AddonMenuClick(item); });
        const QList<QAction*> items = menu->GraphicStyle1->actions();
        menu->GraphicStyle1->insertAction(items.isEmpty() ? nullptr : items.first(), item);
    }
    mark_style_in_use();
}

// The add-on entry of the style file in use carries the mark, or Standard for either standard
// style; a style no entry stands for (dropped in after the menu was made) leaves all unmarked.
void TForm1::mark_style_in_use() {
    const QString in_use = QFileInfo(style_module->file_path()).fileName();
    QAction* entry = in_use == kHighColourStyle || in_use == kLowColourStyle ? menu->Standard1 : nullptr;
    for (QAction* item : menu->GraphicStyles->actions())
        if (item->data().toString() == in_use) entry = item;
    for (QAction* item : menu->GraphicStyles->actions()) item->setChecked(item == entry);
}

void TForm1::AddonMenuClick(const QAction* item) {
    Settings.set_line(kStyleLine, item->data().toString());
    load_style();
    redraw_all();
    arrange_window();
}

void TForm1::Standard1Click() {
    Settings.set_line(kStyleLine, color_depth() > kHighColourThreshold ? kHighColourStyle : kLowColourStyle);
    load_style();
    redraw_all();
}

void TForm1::GetMoreGraphics1Click() { address_opener_->open(this, QUrl(project_addons_address())); }

// The chooser changes the style without the fallbacks of the style loader: a file that lacks the
// field or stone picture leaves everything as it was.
void TForm1::LoadAdditionalGraphics1Click() {
    if (load_libraries->exec() == Tload_libraries::kLoad) {
        const QString file = load_libraries->chosen_file();
        std::unique_ptr<GraphicStyle> style = file.isEmpty() ? nullptr : GraphicStyle::open(file, devicePixelRatioF());
        if (style && style->picture("empty") && style->picture("red0005")) {
            style_module = std::move(style);
            redraw_all();
            Settings.set_line(kStyleLine, file);
            load_frame_pictures();
            mark_style_in_use();
        }
    }
    arrange_window();
}
