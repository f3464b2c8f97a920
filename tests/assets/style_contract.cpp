#include "style_contract.h"

namespace {

const QSize kField(40, 40);

QString framed(const QString& kind, int frame) {
    return kind + QStringLiteral("%1").arg(frame, 4, 10, QLatin1Char('0'));
}

}  // namespace

std::vector<QString> colour_words() {
    return {"red", "green", "blue", "yellow", "lblue", "black", "purple"};
}

std::vector<QString> field_picture_names() {
    std::vector<QString> names{QStringLiteral("empty")};
    std::vector<QString> kinds = colour_words();
    kinds.insert(kinds.end(), {"joker", "quest", "dynamit"});
    for (const QString& kind : kinds)
        for (int frame = 0; frame <= 10; ++frame)
            names.push_back(framed(kind, frame));
    for (int frame : {12, 13, 14, 15})
        names.push_back(framed(QStringLiteral("dynamit"), frame));
    return names;
}

std::vector<ExpectedBitmap> expected_bitmaps() {
    std::vector<ExpectedBitmap> expected;
    for (const QString& name : field_picture_names())
        expected.push_back({name, kField});
    for (int digit = 0; digit <= 9; ++digit)
        expected.push_back({QStringLiteral("lcd%1").arg(digit), QSize(30, 45)});
    expected.push_back({QStringLiteral("main1"), QSize(542, 96)});
    expected.push_back({QStringLiteral("main2"), QSize(153, 384)});
    expected.push_back({QStringLiteral("main3"), QSize(29, 384)});
    expected.push_back({QStringLiteral("main4"), QSize(360, 24)});
    expected.push_back({QStringLiteral("title"), QSize()});
    expected.push_back({QStringLiteral("game_over"), QSize(300, 150)});
    return expected;
}
