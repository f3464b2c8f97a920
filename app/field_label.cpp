#include "app/field_label.h"

#include "engine/field.h"
#include "engine/stones.h"
#include "localisation/languages.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

constexpr int kFieldText = 160;      // row, column: content
constexpr int kNextStoneText = 161;  // preview slot: content
constexpr int kSelectedText = 162;
constexpr int kEmptyText = 163;      // followed by the colours 1..7
constexpr int kJokerText = 171;
constexpr int kDynamiteText = 172;
constexpr int kQuestionText = 173;
constexpr int kFieldHelpText = 175;      // what a player does with a field
constexpr int kNextStoneHelpText = 176;

QString content_text(const TMyImage& image, const Languages& languages) {
    if (!is_special_code(image.color)) return languages.get_string(kEmptyText + colour_of(image.color));
    if (image.joker_type == kDynamite) return languages.get_string(kDynamiteText);
    if (image.joker_type == kQuestion) return languages.get_string(kQuestionText);
    return languages.get_string(kJokerText);
}

QAccessibleInterface* field_as_button(const QString&, QObject* object) {
    auto* field = dynamic_cast<FieldLabel*>(object);
    return field ? new QAccessibleWidget(field, QAccessible::Button) : nullptr;
}

}  // namespace

FieldLabel::FieldLabel(QWidget* parent, TMyImage& image, std::function<void(TMyImage&)> on_click)
    : QLabel(parent), image_(image), on_click_(std::move(on_click)) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::ClickFocus);
    [[maybe_unused]] static const bool factory_installed = (QAccessible::installFactory(field_as_button), true);
}

void FieldLabel::name_for_screen_readers(const Languages& languages, bool selected) {
    QString content = content_text(image_, languages);
    if (selected) content = languages.get_string(kSelectedText).arg(content);
    const QString name =
        image_.on_board
            ? languages.get_string(kFieldText)
                  .arg(QString::number(image_.Tag / kBoardSide + 1), QString::number(image_.Tag % kBoardSide + 1), content)
            : languages.get_string(kNextStoneText).arg(QString::number(image_.Tag + 1), content);
    if (name != accessibleName()) setAccessibleName(name);
    const QString help = languages.get_string(image_.on_board ? kFieldHelpText : kNextStoneHelpText);
    if (help != accessibleDescription()) setAccessibleDescription(help);
}

void FieldLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) on_click_(image_);
}
