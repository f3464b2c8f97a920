#include "presentation/addon_chooser.h"

#include "localisation/address_opener.h"
#include "localisation/languages.h"
#include "platform/game_files.h"
#include "platform/project_addresses.h"
#include "presentation/colour_depth.h"
#include "presentation/dialog_controls.h"
#include "presentation/graphic_style.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

constexpr int kDesignWidth = 467;
constexpr int kGroupWidth = 257;
constexpr int kButtonsLeft = 280;

QLabel* make_label(QWidget* parent, const char* name, int tag, QPoint at) {
    return place(new QLabel(parent), name, tag, at);
}

QPushButton* make_button(QWidget* parent, const char* name, int tag, int top) {
    return place(new QPushButton(parent), name, tag, QRect(kButtonsLeft, top, 161, 25));
}

QGroupBox* make_group(QWidget* parent, const char* name, int tag) {
    return place(new QGroupBox(parent), name, tag, QRect(8, 96, kGroupWidth, 145));
}

// The list entry of a style file; nothing for the standard style that does not suit the screen.
std::optional<QString> list_entry(const QString& file, bool high_colour) {
    if (file == kHighColourStyle) return high_colour ? std::optional<QString>("Standard Highcolor") : std::nullopt;
    if (file == kLowColourStyle) return high_colour ? std::nullopt : std::optional<QString>("Standard Lowcolor");
    return file.chopped(kStyleExtension.size());
}

}  // namespace

Tload_libraries::Tload_libraries(QWidget* main_window, const Languages& languages, std::function<int()> color_depth,
                                 const AddressOpener& address_opener)
    : QDialog(main_window),
      languages_(languages),
      color_depth_(std::move(color_depth)),
      address_opener_(address_opener) {
    setFixedSize(kDesignWidth, 252);
    set_tag(this, 105);
    for (int i = 0; i < 5; ++i)
        make_label(this, qPrintable(QString("Label%1").arg(i + 1)), 106 + i, {8, 8 + 16 * i});
    GroupBox1 = make_group(this, "GroupBox1", 121);
    ListBox1 = new QListWidget(GroupBox1);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(8, 16, 129, 121);
    make_label(GroupBox1, "Label6", 122, {168, 24});
    Image1 = new QLabel(GroupBox1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(168, 48, 60, 60);
    GroupBox2 = make_group(this, "GroupBox2", 111);
    make_label(GroupBox2, "Label7", 112, {8, 16});
    make_label(GroupBox2, "Label8", 113, {8, 32});
    for (int i = 0; i < 4; ++i)
        make_label(GroupBox2, qPrintable(QString("Label%1").arg(9 + i)), 114 + i, {std::array{8, 80, 144, 208}[i], 56});
    Button1 = make_button(this, "Button1", 118, 104);
    QPushButton* website = make_button(this, "Button2", 119, 160);
    QPushButton* cancel = make_button(this, "Button3", 120, 216);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (selected_index() >= 0) show_preview(ListBox1->item(selected_index())->text());
    });
    connect(Button1, &QPushButton::clicked, this, &Tload_libraries::Button1Click);
    connect(website, &QPushButton::clicked, this,
            [this] { address_opener_.open(this, QUrl(project_addons_address())); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
}

Tload_libraries::~Tload_libraries() = default;

void Tload_libraries::fill_list() {
    ListBox1->clear();
    const bool high_colour = color_depth_() > kHighColourThreshold;
    for (const QString& file : list_game_files("*" + kStyleExtension))
        if (const std::optional<QString> entry = list_entry(file, high_colour)) ListBox1->addItem(*entry);
    const bool addons = ListBox1->count() > 1;
    // The two panels share a place; a panel is see-through, so only one of them shows.
    GroupBox1->setVisible(addons);
    GroupBox2->setVisible(!addons);
    Button1->setVisible(addons);
}

int Tload_libraries::selected_index() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

QString Tload_libraries::chosen_file() const {
    const int index = selected_index();
    return index < 0 ? QString() : ListBox1->item(index)->text() + kStyleExtension;
}

// A style that cannot show its preview leaves the last one standing.
void Tload_libraries::show_preview(const QString& entry) {
    std::unique_ptr<GraphicStyle> style = GraphicStyle::open(entry + kStyleExtension, devicePixelRatioF());
    const std::optional<QPixmap> stone = style ? style->picture("blue0005") : std::nullopt;
    if (!stone) return;
    Image1->setPixmap(*stone);
    preview_module_ = std::move(style);
}

void Tload_libraries::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

// Centred on the screen, and as wide as the texts of this language need: the panels grow to
// hold their texts and push the buttons to the right.
void Tload_libraries::FormShow() {
    fill_list();
    languages_.set_caption(static_cast<QWidget*>(this));
    const int width = caption_labels(this, languages_, kDesignWidth);
    const int group_width =
        std::max(caption_labels(GroupBox1, languages_, kGroupWidth), caption_labels(GroupBox2, languages_, kGroupWidth));
    for (QGroupBox* group : {GroupBox1, GroupBox2}) {
        languages_.set_caption(group);
        group->resize(group_width, group->height());
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        languages_.set_caption(button);
        button->move(kButtonsLeft + group_width - kGroupWidth, button->y());
    }
    setFixedWidth(std::max(width, kDesignWidth + group_width - kGroupWidth));
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void Tload_libraries::Button1Click() {
    if (color_depth_() <= kHighColourThreshold)
        QMessageBox::warning(this, "Warning",
                             "You are currently running windows with only 256 colors, so you should\n make sure that "
                             "the add-on is not designed for higher color depths.");
    done(kLoad);
}
