#include "presentation/graphic_style.h"

#include "platform/resource_module.h"

namespace {

// Layout numbers outside this range would build an unusable window; they count as missing.
constexpr int kSmallestLayoutNumber = 1;
constexpr int kLargestLayoutNumber = 400;
constexpr int kLayoutTextLength = 14;  // the module's numbers are read as at most 14 characters

}  // namespace

bool is_style_file_name(const QString& name) {
    return name.size() > 4 && name.endsWith(kStyleExtension, Qt::CaseInsensitive) && !name.contains('/') && !name.contains('\\');
}

QSize logical_size(const QPixmap& picture) { return picture.deviceIndependentSize().toSize(); }

std::unique_ptr<GraphicStyle> GraphicStyle::open(const QString& file_name, qreal device_pixel_ratio) {
    std::unique_ptr<ResourceModule> module = ResourceModule::open(file_name);
    if (!module) return nullptr;
    return std::make_unique<GraphicStyle>(std::move(module), device_pixel_ratio);
}

GraphicStyle::GraphicStyle(std::unique_ptr<ResourceModule> module, qreal device_pixel_ratio)
    : module_(std::move(module)), wants_sharp_pictures_(device_pixel_ratio > 1) {}

GraphicStyle::~GraphicStyle() = default;

std::optional<QPixmap> GraphicStyle::picture(const QString& name) {
    const auto cached = pictures_.constFind(name);
    if (cached != pictures_.constEnd()) return *cached;
    std::optional<QImage> image = module_->bitmap(name, picture_limit(name));
    if (!image) return std::nullopt;
    qreal ratio = 1;
    if (std::optional<QImage> sharp = sharp_picture(name, image->size()); sharp && within_budget(*sharp)) {
        image = std::move(sharp);
        ratio = 2;
    }
    if (!within_budget(*image)) return std::nullopt;
    decoded_bytes_ += image->sizeInBytes();
    QPixmap pixmap = QPixmap::fromImage(*image);
    pixmap.setDevicePixelRatio(ratio);
    pictures_.insert(name, pixmap);
    return pixmap;
}

// A @2x entry of any other size than twice the plain picture's counts as missing.
std::optional<QImage> GraphicStyle::sharp_picture(const QString& name, QSize plain_size) const {
    if (!wants_sharp_pictures_) return std::nullopt;
    std::optional<QImage> sharp = module_->bitmap(name + "@2x", plain_size * 2);
    if (!sharp || sharp->size() != plain_size * 2) return std::nullopt;
    return sharp;
}

bool GraphicStyle::within_budget(const QImage& image) const {
    return decoded_bytes_ + image.sizeInBytes() <= kDecodedBudgetBytes;
}

// A field, stone or preview picture is at most a few fields wide, a digit a few digits, a frame
// picture as long as the board with room to spare; the title and game-over pictures fill a dialog.
QSize GraphicStyle::picture_limit(const QString& name) const {
    constexpr int kRoomFactor = 4;
    if (name == "title" || name == "game_over") return {1024, 768};
    if (name.startsWith("main")) {
        const int side = 9 * field_size() + 1024;
        return {side, side};
    }
    if (name.startsWith("lcd")) return {kRoomFactor * digit_width(), kRoomFactor * digit_height()};
    return {kRoomFactor * field_size(), kRoomFactor * field_size()};
}

std::optional<QByteArray> GraphicStyle::wave(const QString& name) const { return module_->wave(name); }

int GraphicStyle::layout_number(int id, int fallback) const {
    const std::optional<QString> text = module_->string(id);
    if (!text) return fallback;
    bool ok = false;
    const int value = text->left(kLayoutTextLength).trimmed().toInt(&ok);
    if (!ok || value < kSmallestLayoutNumber || value > kLargestLayoutNumber) return fallback;
    return value;
}

int GraphicStyle::field_size() const { return layout_number(1, kDefaultFieldSize); }
int GraphicStyle::digit_height() const { return layout_number(2, kDefaultDigitHeight); }
int GraphicStyle::digit_width() const { return layout_number(3, kDefaultDigitWidth); }

std::optional<QString> GraphicStyle::drawn_for_depth() const {
    const std::optional<QString> text = module_->string(4);
    if (!text) return std::nullopt;
    return text->left(kLayoutTextLength);
}

QString GraphicStyle::file_path() const { return module_->file_path(); }
