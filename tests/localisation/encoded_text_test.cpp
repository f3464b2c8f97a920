#include "test_support.h"
#include "localisation/encoded_text.h"

#include <stdexcept>

namespace {

struct DecodeCase {
    const char* name;
    const char* encoded;
    const char* text;  // UTF-8; nullptr where the line is malformed
};

class DecodeLine : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeLine, GivesTheCharactersOfTheCodesOrFailsOnAMalformedLine) {
    const QString encoded = QString::fromLatin1(GetParam().encoded);
    if (GetParam().text)
        EXPECT_EQ(decode_line(encoded), QString::fromUtf8(GetParam().text));
    else
        EXPECT_THROW(decode_line(encoded), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(EncodedText, DecodeLine, testing::Values(
    DecodeCase{"Letters", "97 98 99 ", "abc"},
    DecodeCase{"EmptyLine", "", ""},
    DecodeCase{"Blanks", "32 32 ", "  "},
    DecodeCase{"NegativeCodesAreTheUpperHalf", "-28 -33 -36 ", "äßÜ"},
    DecodeCase{"OnlyTheLowEightBitsCount", "228 ", "ä"},
    DecodeCase{"LowestAndHighestSignedCode", "-128 127 ", "\u0080\u007f"},
    DecodeCase{"TabBeforeACodeIsAllowed", "\t72 105 ", "Hi"},
    DecodeCase{"LastCodeWithoutBlank", "97 98", nullptr},
    DecodeCase{"LetterForACode", "97 x ", nullptr},
    DecodeCase{"TwoBlanksMakeAnEmptyCode", "97  98 ", nullptr},
    DecodeCase{"CodeTooLargeForANumber", "99999999999 ", nullptr},
    DecodeCase{"FractionForACode", "1.5 ", nullptr}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(EncodedText, EncodesSignedLatin1CodesThatDecodeBackAndRefusesOtherCharacters) {
    EXPECT_EQ(encode_line(QStringLiteral("aä")), QStringLiteral("97 -28 "));
    QString every_latin1_character;
    for (char16_t code = 0; code <= 0xFF; ++code) every_latin1_character += QChar(code);
    EXPECT_EQ(decode_line(encode_line(every_latin1_character)), every_latin1_character);
    EXPECT_THROW(encode_line(QString(QChar(0x100))), std::invalid_argument);
    EXPECT_THROW(encode_line(QStringLiteral("5 €")), std::invalid_argument);
}

}  // namespace
