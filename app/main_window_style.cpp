#include "app/main_window.h"

#include "app/field_label.h"
#include "engine/spielklasse.h"
#include "presentation/colour_depth.h"
#include "presentation/colour_depth_warning.h"
#include "presentation/graphic_style.h"
#include "presentation/window_layout.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <cstdlib>

namespace {

const std::array<QString, 4> kFramePictures{"main1", "main2", "main3", "main4"};

const QString kMissingStyleA =
    "Your resource File \"standard highcolor.lvr\" seems to be missing. \n Please re-install Quorvel.";
const QString kMissingStyleB =
    "Your resource File \"standard highcolor.lvr\" seems to be missing. Please re-install Quorvel.";

}  // namespace

int TForm1::color_depth() const {
    if (options_.color_depth > 0) return options_.color_depth;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return bits_per_pixel(screen ? screen->depth() : 24);
}

void TForm1::load_style() {
    if (!try_configured_style()) choose_standard_style();
    mark_style_in_use();
    arrange_window();
}

// The style named in the settings, if it opens and has the test picture "red0005".
bool TForm1::try_configured_style() {
    const QString name = Settings.line(kStyleLine);
    if (!is_style_file_name(name)) return false;
    std::unique_ptr<GraphicStyle> style = GraphicStyle::open(name, devicePixelRatioF());
    if (!style || !style->picture("red0005")) return false;
    style_module = std::move(style);
    load_frame_pictures();
    return true;
}

void TForm1::choose_standard_style() {
    const bool high_colour = color_depth() > kHighColourThreshold;
    if (high_colour || Settings.value(kLowColourLine) == 0) return take_high_colour_style(kMissingStyleB);
    if (std::unique_ptr<GraphicStyle> low = GraphicStyle::open(kLowColourStyle, devicePixelRatioF())) {
        style_module = std::move(low);
        load_frame_pictures();
        return;
    }
    Tcd_warning1 warning(this, *languages, *address_opener_);
    warning.exec();
    Settings.set_value(kLowColourLine, warning.never_warn_again() ? 0 : 1);
    take_high_colour_style(kMissingStyleA);
}

void TForm1::take_high_colour_style(const QString& message) {
    std::unique_ptr<GraphicStyle> style = GraphicStyle::open(kHighColourStyle, devicePixelRatioF());
    if (style && style->picture("red0005")) {
        style_module = std::move(style);
        if (load_frame_pictures()) return;
    }
    QMessageBox::critical(this, "Error while loading resources", message);
    std::exit(EXIT_FAILURE);
}

// A frame picture the style lacks is taken from the standard high-colour style, so the window
// keeps its size; false when that lacks it too (the frame keeps what it showed before).
bool TForm1::load_frame_pictures() {
    std::unique_ptr<GraphicStyle> standard;
    for (std::size_t i = 0; i < frame_images.size(); ++i) {
        std::optional<QPixmap> picture = style_module->picture(kFramePictures[i]);
        if (!picture) {
            if (!standard) standard = GraphicStyle::open(kHighColourStyle, devicePixelRatioF());
            picture = standard ? standard->picture(kFramePictures[i]) : std::nullopt;
        }
        if (!picture) return false;
        frame_images[i]->setPixmap(*picture);
    }
    return true;
}

void TForm1::create_fields() {
    for (int f = 0; f < 81; ++f) {
        TMyImage& image = engine->field_images[static_cast<std::size_t>(f)];
        label_for(image);
        engine->set_field(f, 0);
        field_labels[static_cast<std::size_t>(f)]->raise();
    }
    arrange_window();
}

void TForm1::arrange_window() {
    const int field_size = style_module->field_size();
    if (const std::optional<QString> drawn_for = style_module->drawn_for_depth();
        drawn_for && drawn_for->toInt() > color_depth()) {
        QMessageBox::warning(
            this, "Warning!",
            "You are using a graphic add-on that is designed for " + *drawn_for +
                "-bit color depths.\n Your display is currently set to " + QString::number(color_depth()) +
                "-bit colors, so that you will\n most likely experience problems like crippled graphics and "
                "flashing bitmaps.\n Please switch to a higher color depth in order to fix this.");
    }
    std::array<QSize, 4> sizes;
    for (std::size_t i = 0; i < sizes.size(); ++i) sizes[i] = logical_size(frame_images[i]->pixmap());
    const WindowLayout layout = arrange_layout(sizes[0], sizes[1], sizes[2], sizes[3], field_size,
                                               style_module->digit_width(), style_module->digit_height());
    frame_images[0]->setGeometry(layout.top_frame);
    frame_images[1]->setGeometry(layout.left_frame);
    frame_images[2]->setGeometry(layout.right_frame);
    frame_images[3]->setGeometry(layout.bottom_frame);
    surface_->setFixedSize(layout.client);
    if (engine) {
        for (int f = 0; f < 81; ++f) field_labels[static_cast<std::size_t>(f)]->setGeometry(layout.field(f));
        engine->score_display->place_digits_vertically(layout.digit_height, WindowLayout::kBandHeight);
        engine->score_display->place_digits_horizontally(layout.digit_width);
        for (int k = 1; k <= engine->score_display->digit_count(); ++k) show_digit(engine->score_display->digit_image(k));
        for (int s = 0; s < 3; ++s) preview_labels[static_cast<std::size_t>(s)]->move(layout.preview_slot(s));
    }
    adjustSize();
    setFixedSize(sizeHint());
}

void TForm1::redraw_all() {
    engine->redraw();
    engine->score_display->set_value(engine->score_display->get_value());
}
