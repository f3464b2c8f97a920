#include "app/main_window.h"

#include "app/board_focus.h"
#include "app/field_label.h"
#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "localisation/languages.h"
#include "platform/cursors.h"
#include "presentation/game_over_dialog.h"
#include "presentation/graphic_style.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

namespace {

constexpr int kPreviewSize = 60;
constexpr int kScoreText = 174;
constexpr int kScoreHelpText = 177;

struct Speed {
    int move_ms;
    int highlight_ms;
};
constexpr std::array<Speed, 3> kSpeeds{{{85, 150}, {50, 100}, {15, 70}}};  // Normal, Fast, Lightning

}  // namespace

void TForm1::move() {
    engine->move_step();
    name_selection();
    save_settled_turn();
    sleep_when_still();
}

void TForm1::highlight_selected() {
    engine->highlight_tick();
    name_selection();
    save_settled_turn();
    sleep_when_still();
}

// Both start together, so their ticks keep the order they had when both ran from the start.
void TForm1::wake_animation() {
    if (shut_down_ || movetimer->isActive()) return;
    movetimer->start();
    highlighttimer->start();
}

void TForm1::sleep_when_still() {
    if (engine->animating()) return;
    movetimer->stop();
    highlighttimer->stop();
}

// A speed outside 1..3 leaves the timers as they are, but is stored all the same.
void TForm1::set_speed(int speed) {
    if (speed >= 1 && speed <= 3) {
        movetimer->setInterval(kSpeeds[static_cast<std::size_t>(speed - 1)].move_ms);
        highlighttimer->setInterval(kSpeeds[static_cast<std::size_t>(speed - 1)].highlight_ms);
    }
    Settings.set_value(kSpeedLine, speed);
}

void TForm1::board_click(TMyImage& image) {
    if (color_depth() <= 8) {
        for (FieldLabel* field : field_labels) field->update();
        for (FieldLabel* slot : preview_labels) slot->update();
    }
    update_cursors();
    engine->click(image);
    name_selection();
    wake_animation();
}

void TForm1::update_cursors() {
    if (menu->CursorSetting->isChecked() || !engine) return;
    for (std::size_t f = 0; f < field_labels.size(); ++f) {
        const int cursor = engine->cursor_for(engine->field_images[f]);
        if (shown_cursor_[f] == cursor) continue;
        shown_cursor_[f] = cursor;
        field_labels[f]->setCursor(board_cursor(cursor));
    }
}

FieldLabel* TForm1::label_for(TMyImage& image) {
    const auto index = static_cast<std::size_t>(image.Tag);
    FieldLabel*& label = image.on_board ? field_labels[index] : preview_labels[index];
    if (label) return label;
    // A mouse click takes the keyboard's frame away; the keys bring it back.
    label = new FieldLabel(surface_, image, [this](TMyImage& clicked) {
        board_focus_->hide();
        board_click(clicked);
    });
    if (!image.on_board) label->setGeometry(237 + kPreviewSize * image.Tag, 3, kPreviewSize, kPreviewSize);
    label->show();
    return label;
}

void TForm1::show_picture(TMyImage& image) {
    wake_animation();
    if (!style_module) return;
    name_field(image);
    const QString name = QString::fromStdString(image.picture);
    const std::optional<QPixmap> picture = style_module->picture(name);
    if (!picture) return report_missing_picture(name);
    label_for(image)->setPixmap(*picture);
}

void TForm1::name_field(TMyImage& image) {
    label_for(image)->name_for_screen_readers(*languages, engine && engine->selected == &image);
}

// The engine shows a field's picture before it takes or gives up the selection there, so the
// names of the fields that gained or lost it are brought up to date after each of its steps.
void TForm1::name_selection() {
    if (engine->selected == named_selection_) return;
    for (TMyImage* image : {named_selection_, engine->selected})
        if (image) name_field(*image);
    named_selection_ = engine->selected;
}

// The first digit is the screen reader's stop for the score.
void TForm1::name_score(QLabel* label) {
    if (!label) return;
    label->setAccessibleName(languages->get_string(kScoreText).arg(engine->score_display->get_value()));
    label->setAccessibleDescription(languages->get_string(kScoreHelpText));
}

void TForm1::show_digit(DigitImage& image) {
    QLabel*& label = digit_labels[&image];
    if (!label) {
        label = new QLabel(surface_);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->show();
    }
    label->setGeometry(image.left, image.top, image.width, image.height);
    label->raise();
    if (engine && &image == &engine->score_display->digit_image(1)) name_score(label);
    if (!style_module) return;
    const QString name = QString::fromStdString(image.picture);
    const std::optional<QPixmap> picture = style_module->picture(name);
    if (!picture) return report_missing_picture(name);
    label->setPixmap(*picture);
}

// The game goes on without the picture. One box at a time: the timers would otherwise stack a
// new one on every tick.
void TForm1::report_missing_picture(const QString& name) {
    if (reporting_missing_picture_) return;
    reporting_missing_picture_ = true;
    QTimer::singleShot(0, this, [this, name] {
        QMessageBox::critical(this, QApplication::applicationName(), "Resource " + name + " not found");
        reporting_missing_picture_ = false;
    });
}

void TForm1::run_game_end() {
    game_ending_ = true;
    score_entered_ = false;
    forget_ended_game();
    const int score = engine->score_display->get_value();
    const int rank = highscore_place(Highscores->lines(), score) + 1;  // 0: the score enters no table
    game_over_window->show_result(score, rank, highscore::kEntries);
    game_over_window->move(pos());
    game_over_window->exec();
    enter_highscore();
    game_ending_ = false;
}

void TForm1::removal_pause() {
    QEventLoop pause;
    QTimer::singleShot(highlighttimer->interval(), &pause, &QEventLoop::quit);
    pause.exec();
}

std::string TForm1::setting(int line) const { return Settings.line(line).toStdString(); }
