#include "program_art.h"

#include "paint_kit.h"
#include "stone_art.h"

#include <QBuffer>
#include <QDataStream>
#include <QLinearGradient>

#include <cstdint>

namespace {

constexpr int kCursorSize = 32;

QPainterPath rounded(const QRectF& box, double radius) {
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    return path;
}

// A hand pointing up with the index finger; its tip is at the hot spot.
QPainterPath hand_path() {
    QPainterPath hand = rounded(QRectF(7.5, 1.0, 5.2, 17.0), 2.6);
    hand = hand.united(rounded(QRectF(12.2, 10.0, 4.4, 9.0), 2.2));
    hand = hand.united(rounded(QRectF(16.2, 11.0, 4.2, 8.0), 2.1));
    hand = hand.united(rounded(QRectF(20.0, 12.5, 3.8, 7.0), 1.9));
    hand = hand.united(rounded(QRectF(7.5, 14.0, 16.3, 13.5), 4.0));
    QPainterPath thumb = rounded(QRectF(-3.0, -2.2, 9.0, 4.4), 2.2);
    QTransform place;
    place.translate(6.0, 19.0);
    place.rotate(-140.0);
    hand = hand.united(place.map(thumb));
    return hand.united(rounded(QRectF(9.0, 25.5, 13.0, 5.5), 1.0));
}

void draw_badge(QPainter& painter, const CursorArt& cursor) {
    const QPointF centre(24.5, 24.5);
    painter.setPen(QPen(QColor(20, 20, 20), 1.2));
    painter.setBrush(QColor::fromRgb(cursor.badge_colour));
    painter.drawEllipse(centre, 6.5, 6.5);
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (cursor.tick)
        painter.drawPolyline(QPolygonF({centre + QPointF(-3.2, 0.2), centre + QPointF(-0.8, 2.6),
                                        centre + QPointF(3.2, -2.4)}));
    else
        painter.drawLine(centre + QPointF(-3.2, 0), centre + QPointF(3.2, 0));
}

void draw_icon(QPainter& painter, int size) {
    const double s = size;
    QLinearGradient slate(0, 0, 0, s);
    slate.setColorAt(0.0, QColor(0x4a, 0x58, 0x6c));
    slate.setColorAt(1.0, QColor(0x1d, 0x24, 0x2e));
    painter.setPen(QPen(QColor(0x0c, 0x10, 0x15), std::max(0.5, s / 40)));
    painter.setBrush(slate);
    painter.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
    const double r = s * 0.21;
    draw_stone_at(painter, QPointF(s * 0.5, s * 0.33), r, coloured_body(kStoneColours[0]));
    draw_stone_at(painter, QPointF(s * 0.3, s * 0.68), r, coloured_body(kStoneColours[2]));
    draw_stone_at(painter, QPointF(s * 0.7, s * 0.68), r, coloured_body(kStoneColours[1]));
}

}  // namespace

QImage icon_picture(int size) {
    return render_picture({size, size}, 1, [size](QPainter& painter) { draw_icon(painter, size); },
                          true);
}

QByteArray ico_file(const std::vector<QImage>& images) {
    std::vector<QByteArray> entries;
    for (const QImage& image : images) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        entries.push_back(buffer.data());
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << std::uint16_t{0} << std::uint16_t{1} << static_cast<std::uint16_t>(images.size());
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto side = [](int pixels) { return static_cast<std::uint8_t>(pixels & 0xff); };
        out << side(images[i].width()) << side(images[i].height()) << std::uint8_t{0}
            << std::uint8_t{0} << std::uint16_t{1} << std::uint16_t{32}
            << static_cast<std::uint32_t>(entries[i].size()) << offset;
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const QByteArray& entry : entries)
        out.writeRawData(entry.constData(), static_cast<int>(entry.size()));
    return bytes;
}

QImage cursor_picture(const CursorArt& cursor, int scale) {
    return render_picture(
        {kCursorSize, kCursorSize}, scale,
        [&cursor](QPainter& painter) {
            const QPainterPath hand = hand_path();
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 0, 70));
            painter.drawPath(hand.translated(1.0, 1.0));
            QLinearGradient skin(0, 0, 24, 30);
            skin.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
            skin.setColorAt(1.0, QColor(0xe2, 0xe4, 0xea));
            painter.setPen(QPen(QColor(16, 16, 16), 1.2, Qt::SolidLine, Qt::RoundCap,
                                Qt::RoundJoin));
            painter.setBrush(skin);
            painter.drawPath(hand);
            painter.setPen(QPen(QColor(16, 16, 16, 150), 0.8, Qt::SolidLine, Qt::RoundCap));
            for (const QLineF& crease : {QLineF(12.4, 12.5, 12.4, 17.5), QLineF(16.4, 13.0, 16.4, 18.0),
                                         QLineF(20.2, 14.5, 20.2, 18.5)})
                painter.drawLine(crease);
            if (cursor.badge)
                draw_badge(painter, cursor);
        },
        true);
}
