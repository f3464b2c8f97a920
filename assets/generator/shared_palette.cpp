#include "shared_palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace {

struct ColourCount {
    QRgb rgb;
    std::uint64_t count;
};
using Box = std::vector<ColourCount>;

int channel(QRgb rgb, int which) {
    return which == 0 ? qRed(rgb) : which == 1 ? qGreen(rgb) : qBlue(rgb);
}

struct Spread {
    int channel = 0;
    int range = 0;
};

Spread widest_channel(const Box& box) {
    Spread widest;
    for (int which = 0; which < 3; ++which) {
        const auto [low, high] = std::minmax_element(
            box.begin(), box.end(), [which](const ColourCount& a, const ColourCount& b) {
                return channel(a.rgb, which) < channel(b.rgb, which);
            });
        const int range = channel(high->rgb, which) - channel(low->rgb, which);
        if (range > widest.range)
            widest = {which, range};
    }
    return widest;
}

std::uint64_t weight(const Box& box) {
    std::uint64_t total = 0;
    for (const ColourCount& entry : box)
        total += entry.count;
    return total;
}

// Worth of splitting a box: wide boxes first, busy ones a little sooner than rare ones.
double split_priority(const Box& box) {
    return widest_channel(box).range * std::sqrt(static_cast<double>(weight(box)));
}

std::pair<Box, Box> split_at_median(Box box) {
    const int which = widest_channel(box).channel;
    std::sort(box.begin(), box.end(), [which](const ColourCount& a, const ColourCount& b) {
        return channel(a.rgb, which) < channel(b.rgb, which);
    });
    const std::uint64_t half = weight(box) / 2;
    std::uint64_t below = box.front().count;
    std::size_t cut = 1;  // first entry of the upper half; both halves keep at least one
    while (cut < box.size() - 1 && below < half)
        below += box[cut++].count;
    return {Box(box.begin(), box.begin() + static_cast<std::ptrdiff_t>(cut)),
            Box(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end())};
}

QRgb mean_colour(const Box& box) {
    std::array<double, 3> sum{};
    for (const ColourCount& entry : box)
        for (int which = 0; which < 3; ++which)
            sum.at(static_cast<std::size_t>(which)) +=
                static_cast<double>(channel(entry.rgb, which) * entry.count);
    const auto total = static_cast<double>(weight(box));
    return qRgb(qRound(sum[0] / total), qRound(sum[1] / total), qRound(sum[2] / total));
}

Box histogram(const std::vector<QImage>& pictures) {
    std::unordered_map<QRgb, std::uint64_t> counts;
    for (const QImage& picture : pictures) {
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x)
                ++counts[line[x] | 0xff000000U];
        }
    }
    Box all;
    for (const auto& [rgb, count] : counts)
        all.push_back({rgb, count});
    std::sort(all.begin(), all.end(), [](const ColourCount& a, const ColourCount& b) {
        return a.rgb < b.rgb;
    });
    return all;
}

}  // namespace

QList<QRgb> shared_palette(const std::vector<QImage>& pictures, int colours) {
    struct Ranked {
        Box box;
        double priority;
    };
    const auto ranked = [](Box box) {
        const double priority = box.size() < 2 ? 0.0 : split_priority(box);
        return Ranked{std::move(box), priority};
    };
    std::vector<Ranked> boxes{ranked(histogram(pictures))};
    while (static_cast<int>(boxes.size()) < colours) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Ranked& a, const Ranked& b) {
            return a.priority < b.priority;
        });
        if (widest->box.size() < 2)
            break;
        auto [low, high] = split_at_median(std::move(widest->box));
        *widest = ranked(std::move(low));
        boxes.push_back(ranked(std::move(high)));
    }
    QList<QRgb> palette;
    for (const Ranked& entry : boxes)
        if (!entry.box.empty())
            palette.append(mean_colour(entry.box));
    return palette;
}

QImage to_palette(const QImage& picture, const QList<QRgb>& palette) {
    return picture.convertToFormat(QImage::Format_RGB32)
        .convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
}
