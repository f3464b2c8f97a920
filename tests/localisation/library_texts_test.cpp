#include "qstring_printer.h"
#include "text_ids.h"

#include "platform/resource_module.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

namespace {

constexpr int kGerman = 2000;

const ResourceModule& built_library() {
    static const std::unique_ptr<ResourceModule> library =
        ResourceModule::open(QStringLiteral(QUORVEL_GAME_DIR "/languages.dll"));
    if (!library) {
        throw std::runtime_error("the built languages.dll cannot be opened");
    }
    return *library;
}

QString text(int string_id) {
    return built_library().string(string_id).value_or(QString());
}

// The letter after a single "&"; "&&" is a literal ampersand.
std::optional<QChar> mnemonic(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (caption[i + 1] != u'&') {
                return caption[i + 1].toLower();
            }
            ++i;
        }
    }
    return std::nullopt;
}

QString shown_text(QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(u'&');
    caption.replace(u'\x01', u'&');
    return caption;
}

int pixel_width(const QString& caption, int pixel_size) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixel_size);
    return QFontMetrics(font).horizontalAdvance(shown_text(caption));
}

class EveryTextId : public testing::TestWithParam<int> {};

TEST_P(EveryTextId, HasEnglishAndGermanText) {
    EXPECT_FALSE(text(GetParam()).isEmpty()) << "English";
    EXPECT_FALSE(text(GetParam() + kGerman).isEmpty()) << "German";
}

INSTANTIATE_TEST_SUITE_P(BuiltLibrary, EveryTextId, testing::ValuesIn(kTextIds),
                         [](const testing::TestParamInfo<int>& info) {
                             return "id_" + std::to_string(info.param);
                         });

class EachLanguage : public testing::TestWithParam<int> {};

TEST_P(EachLanguage, MnemonicsDifferWithinEachMenuLevel) {
    for (const std::vector<MenuEntry>& level : kMenuLevels) {
        std::set<QChar> seen;
        for (const MenuEntry& entry : level) {
            const QString caption = text(entry.id + GetParam());
            EXPECT_LE(caption.count(u'&') - 2 * caption.count(QStringLiteral("&&")), 1)
                << qPrintable(caption);
            if (const std::optional<QChar> letter = mnemonic(caption)) {
                EXPECT_TRUE(seen.insert(*letter).second)
                    << "mnemonic of \"" << qPrintable(caption) << "\" is taken";
            }
        }
    }
}

// A caption fits where its control leaves room for it, or, where the design caption is
// already wider at this font, where the design caption would.
TEST_P(EachLanguage, CaptionsFitTheirControls) {
    for (const SizedCaption& sized : kSizedCaptions) {
        const QString caption = text(sized.id + GetParam());
        const int design_width =
            sized.design_caption ? pixel_width(QString::fromUtf8(sized.design_caption),
                                               sized.pixel_size)
                                 : 0;
        EXPECT_LE(pixel_width(caption, sized.pixel_size), std::max(sized.room, design_width))
            << "id " << sized.id << ": \"" << qPrintable(caption) << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltLibrary, EachLanguage, testing::Values(0, kGerman),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "English" : "German");
                         });

TEST(BuiltLibrary, EnglishTextsAreTheDesignCaptions) {
    for (const std::vector<MenuEntry>& level : kMenuLevels) {
        for (const MenuEntry& entry : level) {
            EXPECT_EQ(text(entry.id), QString::fromUtf8(entry.design_caption));
        }
    }
    for (const SizedCaption& sized : kSizedCaptions) {
        if (sized.design_caption) {
            EXPECT_EQ(text(sized.id), QString::fromUtf8(sized.design_caption));
        }
    }
}

TEST(BuiltLibrary, WindowCaptionNamesTheGameInBothLanguages) {
    EXPECT_EQ(text(24), QStringLiteral("Quorvel"));
    EXPECT_EQ(text(24 + kGerman), QStringLiteral("Quorvel"));
}

// The web address follows text 201 directly, so its closing blank must survive editing.
TEST(BuiltLibrary, WebLineEndsWithABlank) {
    EXPECT_TRUE(text(201).endsWith(u' '));
    EXPECT_TRUE(text(201 + kGerman).endsWith(u' '));
}

TEST(BuiltLibrary, GermanTextsKeepTheirUmlauts) {
    EXPECT_EQ(text(23 + kGerman), QStringLiteral("&Über Quorvel"));
    EXPECT_EQ(text(3 + kGerman), QStringLiteral("Bestenliste &zurücksetzen"));
}

TEST(BuiltLibrary, ResetQuestionBreaksIntoTwoLines) {
    EXPECT_EQ(text(560).count(u'\n'), 1);
    EXPECT_EQ(text(560 + kGerman).count(u'\n'), 1);
}

TEST(TextIdTables, EveryMenuAndSizedIdIsListed) {
    const std::set<int> listed(kTextIds.begin(), kTextIds.end());
    for (const std::vector<MenuEntry>& level : kMenuLevels) {
        for (const MenuEntry& entry : level) {
            EXPECT_TRUE(listed.contains(entry.id)) << entry.id;
        }
    }
    for (const SizedCaption& sized : kSizedCaptions) {
        EXPECT_TRUE(listed.contains(sized.id)) << sized.id;
    }
}

}  // namespace
