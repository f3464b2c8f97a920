#include "qstring_printer.h"
#include "localisation/encoded_text.h"

#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct DecodeCase {
    const char* encoded;
    const char* text;  // UTF-8
};

class DecodeLine : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeLine, GivesTheCharactersOfTheCodes) {
    EXPECT_EQ(decode_line(QString::fromLatin1(GetParam().encoded)),
              QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(EncodedText, DecodeLine, testing::Values(
    DecodeCase{"97 98 99 ", "abc"},
    DecodeCase{"", ""},
    DecodeCase{"-28 ", "ä"},
    DecodeCase{"-33 -36 ", "ßÜ"},
    DecodeCase{"228 ", "ä"},                  // only the low 8 bits count
    DecodeCase{"-128 127 ", "\u0080\u007f"},
    DecodeCase{"\t72 105 ", "Hi"},            // a token is trimmed before it is read
    DecodeCase{"32 32 ", "  "}));

class MalformedLine : public testing::TestWithParam<const char*> {};

TEST_P(MalformedLine, FailsWithAConversionError) {
    EXPECT_THROW(decode_line(QString::fromLatin1(GetParam())), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(EncodedText, MalformedLine, testing::Values(
    "97 98",         // the last code lacks its blank
    "97",
    "97 x ",         // not a number
    "97  98 ",       // two blanks: an empty token
    "99999999999 ",  // too large for a number
    "1.5 "));

TEST(EncodedText, EncodesSignedLatin1CodesEachFollowedByABlank) {
    EXPECT_EQ(encode_line(QStringLiteral("abc")), QStringLiteral("97 98 99 "));
    EXPECT_EQ(encode_line(QStringLiteral("ä")), QStringLiteral("-28 "));
    EXPECT_EQ(encode_line(QString()), QString());
}

class RoundTrip : public testing::TestWithParam<QString> {};

TEST_P(RoundTrip, DecodingTheEncodingGivesTheText) {
    EXPECT_EQ(decode_line(encode_line(GetParam())), GetParam());
}

QString every_latin1_character() {
    QString all;
    for (char16_t code = 0; code <= 0xFF; ++code) {
        all += QChar(code);
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(EncodedText, RoundTrip, testing::Values(
    QStringLiteral("Grüße aus Köln: Übermut tut selten gut."),
    QStringLiteral("äöüÄÖÜß éñåø"),
    QString(),
    every_latin1_character()));

TEST(EncodedText, RefusesCharactersOutsideLatin1) {
    EXPECT_THROW(encode_line(QStringLiteral("5 €")), std::invalid_argument);
    EXPECT_THROW(encode_line(QStringLiteral("„Quorvel“")), std::invalid_argument);
}

struct BuiltFile {
    int id;
    const char* source;
};

class BuiltEncodedFile : public testing::TestWithParam<BuiltFile> {};

QByteArray read_all(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_P(BuiltEncodedFile, DecodesBackToItsSourceText) {
    const QByteArray encoded =
        read_all(QStringLiteral(QUORVEL_GAME_DIR "/images/%1.jpg").arg(GetParam().id));
    const QString source = QString::fromUtf8(
        read_all(QStringLiteral(QUORVEL_TEXTS_DIR "/%1.txt").arg(GetParam().source)));
    ASSERT_FALSE(encoded.isEmpty());
    ASSERT_FALSE(source.isEmpty());
    QStringList decoded;
    for (const QString& line : QString::fromLatin1(encoded).split(u'\n')) {
        decoded << decode_line(line);
    }
    EXPECT_EQ(decoded.join(u'\n'), source);
}

INSTANTIATE_TEST_SUITE_P(EncodedText, BuiltEncodedFile, testing::Values(
    BuiltFile{2, "internet_intro.en"}, BuiltFile{3, "page_failed.en"},
    BuiltFile{2002, "internet_intro.de"}, BuiltFile{2003, "page_failed.de"}));

}  // namespace
