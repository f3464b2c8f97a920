#include "archive_fixtures.h"
#include "platform/resource_format.h"
#include "platform/resource_module.h"

#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

class ResourceModuleTest : public ::testing::Test {
protected:
    TemporaryWorkingFolder folder_;
};

TEST_F(ResourceModuleTest, RoundTripKeepsPixelsWaveBytesAndStrings) {
    const QByteArray wave = wave_bytes(2000);
    const QString lines = QStringLiteral("first line\nsecond\tcolumn \\ end\\n");
    const QString names = QStringLiteral("Jürgen, Łukasz, 五目");
    ResourceModuleWriter writer;
    writer.add_bitmap("red0005", test_picture());
    writer.add_wave("drop", wave);
    writer.add_string(1, lines);
    writer.add_string(65535, names);
    ASSERT_TRUE(writer.write("style.lvr"));

    const auto module = ResourceModule::open("style.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(QFileInfo(module->file_path()).canonicalFilePath(),
              QFileInfo("style.lvr").canonicalFilePath());
    const std::optional<QImage> picture = module->bitmap("red0005");
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->convertToFormat(QImage::Format_ARGB32), test_picture());
    EXPECT_EQ(module->wave("drop"), wave);
    EXPECT_EQ(module->string(1), lines);
    EXPECT_EQ(module->string(65535), names);
}

TEST_F(ResourceModuleTest, WriterStoresTheDocumentedEntries) {
    const QByteArray wave = wave_bytes(100);
    ResourceModuleWriter writer;
    writer.add_bitmap("main1", test_picture());
    writer.add_wave("drop", wave);
    writer.add_string(2, QStringLiteral("back\\slash"));
    writer.add_string(1, QStringLiteral("a\nb\tc"));
    writer.add_string(3, QStringLiteral("Grüße"));
    ASSERT_TRUE(writer.write("m.lvr"));

    EXPECT_TRUE(read_zip_entry("m.lvr", "bitmaps/main1.png").startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(read_zip_entry("m.lvr", "waves/drop.wav"), wave);
    EXPECT_EQ(read_zip_entry("m.lvr", "strings.txt"),
              QByteArray("1\ta\\nb\\tc\n2\tback\\\\slash\n3\tGr\xC3\xBC\xC3\x9F" "e\n"));
}

TEST_F(ResourceModuleTest, WriterReplacesAnExistingFileAndLeavesNothingBeside) {
    write_file_bytes(folder_.path("style.lvr"), "an older file");
    ResourceModuleWriter writer;
    writer.add_string(7, QStringLiteral("new"));
    ASSERT_TRUE(writer.write("style.lvr"));

    const auto module = ResourceModule::open("style.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->string(7), QStringLiteral("new"));
    EXPECT_EQ(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{"style.lvr"});
}

TEST_F(ResourceModuleTest, EmptyWriterWritesAnEmptyModule) {
    ASSERT_TRUE(ResourceModuleWriter().write("empty.lvr"));
    const auto module = ResourceModule::open("empty.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->string(1), std::nullopt);
}

TEST_F(ResourceModuleTest, WriterFailsWithoutLeavingAFile) {
    ResourceModuleWriter unwritable_place;
    unwritable_place.add_string(1, QStringLiteral("text"));
    EXPECT_FALSE(unwritable_place.write("no such folder/style.lvr"));

    ResourceModuleWriter null_picture;
    null_picture.add_bitmap("empty", QImage());
    EXPECT_FALSE(null_picture.write("style.lvr"));
    EXPECT_TRUE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(ResourceModuleTest, CorruptedEntryDataIsMissingWhileTheRestLoads) {
    const QByteArray wave = wave_bytes(3000);
    write_zip("m.lvr", {{"waves/stored.wav", wave, true},
                        {"waves/packed.wav", wave},
                        {"waves/intact.wav", wave},
                        {"bitmaps/main1.png", encode(test_picture(), "PNG")}});
    QByteArray archive = read_file_bytes("m.lvr");
    archive[archive.indexOf(wave) + 1000] ^= 0x55;
    const qsizetype packed_name = archive.indexOf("waves/packed.wav");
    const auto extra_length = qFromLittleEndian<quint16>(archive.constData() + packed_name - 2);
    archive.replace(packed_name + 16 + extra_length + 20, 16, QByteArray(16, '\xFF'));
    write_file_bytes("m.lvr", archive);

    const auto module = ResourceModule::open("m.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->wave("stored"), std::nullopt);
    EXPECT_EQ(module->wave("packed"), std::nullopt);
    EXPECT_EQ(module->wave("intact"), wave);
    EXPECT_TRUE(module->bitmap("main1").has_value());
}

struct OpenCase {
    const char* label;
    std::vector<const char*> files;   // each module holds its own file name as string 1
    const char* request;
    const char* opened;               // nullptr: the open fails
};

void PrintTo(const OpenCase& test, std::ostream* out) { *out << test.label; }

class OpenByName : public ::testing::TestWithParam<OpenCase> {
protected:
    TemporaryWorkingFolder folder_;
};

TEST_P(OpenByName, MatchesTheFileNameWithoutRegardToLetterCase) {
    for (const char* file : GetParam().files) {
        QDir::current().mkpath(QFileInfo(file).path());
        ResourceModuleWriter writer;
        writer.add_string(1, file);
        ASSERT_TRUE(writer.write(file));
    }
    const auto module = ResourceModule::open(GetParam().request);
    if (!GetParam().opened) {
        EXPECT_EQ(module, nullptr);
        return;
    }
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->string(1), QString(GetParam().opened));
}

INSTANTIATE_TEST_SUITE_P(
    ResourceModule, OpenByName,
    ::testing::Values(
        OpenCase{"Exact", {"standard highcolor.lvr"}, "standard highcolor.lvr",
                 "standard highcolor.lvr"},
        OpenCase{"OtherCase", {"standard highcolor.lvr"}, "Standard Highcolor.lvr",
                 "standard highcolor.lvr"},
        OpenCase{"ExactWinsUpper", {"standard highcolor.lvr", "Standard Highcolor.lvr"},
                 "Standard Highcolor.lvr", "Standard Highcolor.lvr"},
        OpenCase{"ExactWinsLower", {"Standard Highcolor.lvr", "standard highcolor.lvr"},
                 "standard highcolor.lvr", "standard highcolor.lvr"},
        OpenCase{"InSubfolder", {"styles/alpha.lvr"}, "styles/ALPHA.lvr", "styles/alpha.lvr"},
        OpenCase{"Missing", {"other.lvr"}, "standard highcolor.lvr", nullptr},
        OpenCase{"NotAFile", {"alpha.lvr/inner.lvr"}, "Alpha.lvr", nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

struct Damage {
    const char* label;
    QByteArray (*damage)(const QByteArray& module);
};

void PrintTo(const Damage& test, std::ostream* out) { *out << test.label; }

class DamagedArchive : public ::testing::TestWithParam<Damage> {
protected:
    TemporaryWorkingFolder folder_;
};

TEST_P(DamagedArchive, FailsToOpen) {
    ResourceModuleWriter writer;
    writer.add_bitmap("main1", test_picture());
    writer.add_string(1, QStringLiteral("one"));
    ASSERT_TRUE(writer.write("good.lvr"));
    write_file_bytes("bad.lvr", GetParam().damage(read_file_bytes("good.lvr")));
    EXPECT_EQ(ResourceModule::open("bad.lvr"), nullptr);
}

QByteArray random_bytes(qsizetype size) {
    std::mt19937 random(20240607);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = char(random());
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    ResourceModule, DamagedArchive,
    ::testing::Values(
        Damage{"Empty", [](const QByteArray&) { return QByteArray(); }},
        Damage{"FirstHalf", [](const QByteArray& m) { return m.left(m.size() / 2); }},
        Damage{"LastBytesCut", [](const QByteArray& m) { return m.chopped(10); }},
        Damage{"RandomBytes", [](const QByteArray&) { return random_bytes(4096); }},
        Damage{"ZipSignatureThenNoise",
               [](const QByteArray&) { return QByteArray("PK\x03\x04") + random_bytes(4096); }},
        Damage{"LocalHeaderOverwritten",
               [](const QByteArray& m) { return QByteArray(4, 'X') + m.mid(4); }},
        Damage{"DirectoryOffsetBeyondEnd",
               [](const QByteArray& m) {
                   QByteArray broken = m;
                   qToLittleEndian<quint32>(0x7FFFFFF0u, broken.data() + broken.size() - 6);
                   return broken;
               }}),
    [](const auto& info) { return std::string(info.param.label); });

enum class Kind { Bitmap, Wave, String };

struct EntryCase {
    const char* label;
    const char* entry;           // the one entry of the archive
    QByteArray (*bytes)();
    Kind kind;
    const char* request;         // resource name, or string id
    bool present;
    SizeField lied_field = SizeField::Uncompressed;
    quint32 (*lie)(quint32 declared) = nullptr;
};

void PrintTo(const EntryCase& test, std::ostream* out) { *out << test.label; }

class EntryReading : public ::testing::TestWithParam<EntryCase> {
protected:
    TemporaryWorkingFolder folder_;
};

bool has_resource(const ResourceModule& module, Kind kind, const QString& request) {
    switch (kind) {
    case Kind::Bitmap: return module.bitmap(request).has_value();
    case Kind::Wave: return module.wave(request).has_value();
    case Kind::String: return module.string(request.toInt()).has_value();
    }
    return false;
}

TEST_P(EntryReading, RefusesWhatIsMissingOversizedUndecodableOrLying) {
    const EntryCase& test = GetParam();
    write_zip("m.lvr", {{test.entry, test.bytes()}});
    if (test.lie) {
        QByteArray archive = read_file_bytes("m.lvr");
        const quint32 lie = test.lie(declared_size(archive, test.lied_field));
        set_declared_size(archive, test.lied_field, lie);
        write_file_bytes("m.lvr", archive);
    }
    const auto module = ResourceModule::open("m.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(has_resource(*module, test.kind, test.request), test.present);
}

QByteArray picture() { return encode(test_picture(), "PNG"); }
QByteArray bmp_picture() { return encode(test_picture(), "BMP"); }
QByteArray picture_at_size_limit() { return padded(picture(), kMaxResourceBytes, '\0'); }
QByteArray picture_over_size_limit() { return padded(picture(), kMaxResourceBytes + 1, '\0'); }
QByteArray not_a_picture() { return "this is not a picture"; }
QByteArray png_huge() { return png_claiming_size(100000, 100000); }
QByteArray bmp_huge() { return bmp_claiming_size(100000, 100000); }
QByteArray tall_picture() { return encode(QImage(1, kMaxBitmapSide, QImage::Format_RGB32), "PNG"); }
QByteArray too_wide_picture() {
    return encode(QImage(kMaxBitmapSide + 1, 1, QImage::Format_RGB32), "PNG");
}
QByteArray wave() { return wave_bytes(5000); }
QByteArray riff_but_no_wave() { return QByteArray("RIFF\x04\0\0\0AVI LIST", 16); }
QByteArray wave_at_size_limit() { return wave_bytes(kMaxResourceBytes); }
QByteArray wave_over_size_limit() { return wave_bytes(kMaxResourceBytes + 1); }
QByteArray zip_bomb() { return padded(wave_bytes(1000), 32 * 1024 * 1024, '\0'); }
QByteArray one_string() { return "1\tone\n"; }
QByteArray table_at_size_limit() { return padded(one_string(), kMaxStringTableBytes, '\n'); }
QByteArray table_over_size_limit() { return padded(one_string(), kMaxStringTableBytes + 1, '\n'); }

quint32 thousand(quint32) { return 1000; }
quint32 sixteen_more(quint32 size) { return size + 16; }
quint32 sixteen_less(quint32 size) { return size - 16; }
quint32 half(quint32 size) { return size / 2; }

constexpr auto kBitmap = Kind::Bitmap;
constexpr auto kWave = Kind::Wave;
constexpr auto kCompressed = SizeField::Compressed;
constexpr auto kUncompressed = SizeField::Uncompressed;

INSTANTIATE_TEST_SUITE_P(
    ResourceModule, EntryReading,
    ::testing::Values(
        EntryCase{"Bitmap", "bitmaps/red.png", picture, kBitmap, "red", true},
        EntryCase{"BitmapNameInOtherCase", "bitmaps/red.png", picture, kBitmap, "RED", false},
        EntryCase{"BitmapAskedAsWave", "bitmaps/red.png", picture, kWave, "red", false},
        EntryCase{"BitmapInOtherFormat", "bitmaps/red.png", bmp_picture, kBitmap, "red", true},
        EntryCase{"BitmapAtSizeLimit", "bitmaps/big.png", picture_at_size_limit, kBitmap, "big",
                  true},
        EntryCase{"BitmapOverSizeLimit", "bitmaps/big.png", picture_over_size_limit, kBitmap, "big",
                  false},
        EntryCase{"BitmapNotAPicture", "bitmaps/red.png", not_a_picture, kBitmap, "red", false},
        EntryCase{"PngClaimsHugeSize", "bitmaps/huge.png", png_huge, kBitmap, "huge", false},
        EntryCase{"BmpClaimsHugeSize", "bitmaps/huge.png", bmp_huge, kBitmap, "huge", false},
        EntryCase{"PictureAtSideLimit", "bitmaps/tall.png", tall_picture, kBitmap, "tall", true},
        EntryCase{"PictureOverSideLimit", "bitmaps/w.png", too_wide_picture, kBitmap, "w", false},
        EntryCase{"Wave", "waves/drop.wav", wave, kWave, "drop", true},
        EntryCase{"WaveNotRiffWave", "waves/drop.wav", riff_but_no_wave, kWave, "drop", false},
        EntryCase{"WaveAtSizeLimit", "waves/big.wav", wave_at_size_limit, kWave, "big", true},
        EntryCase{"WaveOverSizeLimit", "waves/big.wav", wave_over_size_limit, kWave, "big", false},
        EntryCase{"ZipBombDeclaringItsSize", "waves/bomb.wav", zip_bomb, kWave, "bomb", false},
        EntryCase{"ZipBombDeclaringSmallSize", "waves/bomb.wav", zip_bomb, kWave, "bomb", false,
                  kUncompressed, thousand},
        EntryCase{"SizeClaimsMore", "waves/drop.wav", wave, kWave, "drop", false, kUncompressed,
                  sixteen_more},
        EntryCase{"SizeClaimsLess", "waves/drop.wav", wave, kWave, "drop", false, kUncompressed,
                  sixteen_less},
        EntryCase{"CompressedSizeClaimsLess", "waves/drop.wav", wave, kWave, "drop", false,
                  kCompressed, half},
        EntryCase{"String", "strings.txt", one_string, Kind::String, "1", true},
        EntryCase{"StringIdAbsent", "strings.txt", one_string, Kind::String, "2", false},
        EntryCase{"StringTableAtSizeLimit", "strings.txt", table_at_size_limit, Kind::String, "1",
                  true},
        EntryCase{"StringTableOverSizeLimit", "strings.txt", table_over_size_limit, Kind::String,
                  "1", false}),
    [](const auto& info) { return std::string(info.param.label); });

struct StringLine {
    const char* label;
    QByteArray line;    // between "1<TAB>first" and "2<TAB>last"
    int id;
    std::optional<QString> text;
};

void PrintTo(const StringLine& test, std::ostream* out) { *out << test.label; }

class StringTableLine : public ::testing::TestWithParam<StringLine> {
protected:
    TemporaryWorkingFolder folder_;
};

TEST_P(StringTableLine, ReadsGoodLinesAndSkipsMalformedOnes) {
    const QByteArray table = "\xEF\xBB\xBF" "1\tfirst\n" + GetParam().line + "\n2\tlast\n";
    write_zip("m.lvr", {{"strings.txt", table}});
    const auto module = ResourceModule::open("m.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->string(GetParam().id), GetParam().text);
    EXPECT_EQ(module->string(1), QStringLiteral("first"));
    EXPECT_EQ(module->string(2), QStringLiteral("last"));
}

INSTANTIATE_TEST_SUITE_P(
    ResourceModule, StringTableLine,
    ::testing::Values(
        StringLine{"Escapes", "7\ta\\nb\\tc\\\\d\\\\n", 7, QStringLiteral("a\nb\tc\\d\\n")},
        StringLine{"NonAscii", "8\tGr\xC3\xBC\xC3\x9F" "e, \xC5\x81\xC3\xB3" "d\xC5\xBA", 8,
                   QStringLiteral("Grüße, Łódź")},
        StringLine{"WindowsLineEnd", "9\tline\r", 9, QStringLiteral("line")},
        StringLine{"UnknownEscapeKept", "10\ta\\qb\\", 10, QStringLiteral("a\\qb\\")},
        StringLine{"EmptyText", "11\t", 11, QString()},
        StringLine{"NegativeId", "-5\tminus", -5, QStringLiteral("minus")},
        StringLine{"FirstOfTwoWins", "1\tsecond", 1, QStringLiteral("first")},
        StringLine{"NoTab", "12 text", 12, std::nullopt},
        StringLine{"HexId", "0x0D\ttext", 0, std::nullopt},
        StringLine{"SpaceBeforeId", " 14\ttext", 14, std::nullopt},
        StringLine{"SpaceAfterId", "14 \ttext", 14, std::nullopt},
        StringLine{"IdOutOfRange", "99999999999\ttext", 0, std::nullopt},
        StringLine{"NoId", "\ttext", 0, std::nullopt},
        StringLine{"InvalidUtf8", "15\t\xFF\xFE", 15, std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
