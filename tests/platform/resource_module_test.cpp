#include "fixtures.h"
#include "platform/resource_format.h"
#include "platform/resource_module.h"

#include <QBuffer>

#include <zip.h>

#include <map>
#include <vector>

namespace {

struct RawEntry {
    const char* name;
    QByteArray bytes;
    bool stored = false;   // no compression: the bytes appear as they are in the file
};

// An archive written with libzip directly, bypassing ResourceModuleWriter.
void write_zip(const QString& path, const std::vector<RawEntry>& entries) {
    zip* archive = zip_open(qPrintable(path), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes, stored] : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = zip_file_add(archive, name, source, 0);
        ASSERT_GE(index, 0);
        if (stored) zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

// Every entry of an archive, by name.
void read_zip(const QString& path, std::map<QString, QByteArray>& entries) {
    zip* archive = zip_open(qPrintable(path), ZIP_RDONLY, nullptr);
    ASSERT_NE(archive, nullptr);
    zip_stat_t stat;
    for (zip_uint64_t i = 0; zip_stat_index(archive, i, 0, &stat) == 0; ++i) {
        QByteArray& bytes = entries[stat.name] = QByteArray(qsizetype(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, i, 0);
        EXPECT_EQ(file ? zip_fread(file, bytes.data(), stat.size) : -1, qint64(stat.size));
        if (file) zip_fclose(file);
    }
    zip_discard(archive);
}

// Rewrites the size the one entry of an archive declares, in its local and its central header
// alike, so that the archive stays consistent and only the size lies.
enum SizeField { kCompressed = 0, kUncompressed = 4 };   // offset from the compressed size

void lie_about_size(QByteArray& archive, SizeField field, quint32 (*lie)(quint32 declared)) {
    const qsizetype central = archive.lastIndexOf("PK\x01\x02") + 20 + field;
    const quint32 size = lie(qFromLittleEndian<quint32>(archive.constData() + central));
    qToLittleEndian(size, archive.data() + central);
    qToLittleEndian(size, archive.data() + 18 + field);
}

QByteArray encode(const QImage& image, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

QByteArray png() { return encode(test_picture(), "PNG"); }

TEST(ResourceModule, WriterStoresEntriesThatReadBackUnchanged) {
    const TemporaryWorkingFolder folder;
    write_file_bytes("style.lvr", "an older file");
    const QByteArray wave = simple_wave(2000);
    const QString lines = QStringLiteral("line\nnext\tcolumn \\ end\\n\r");
    const QString names = QStringLiteral("Jürgen, Łukasz, 五目");
    ResourceModuleWriter writer;
    writer.add_bitmap("red0005", test_picture());
    writer.add_wave("drop", wave);
    writer.add_string(65535, names);
    writer.add_string(1, lines);
    ASSERT_TRUE(writer.write("style.lvr"));
    EXPECT_EQ(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{"style.lvr"});

    std::map<QString, QByteArray> entries;
    read_zip("style.lvr", entries);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries["bitmaps/red0005.png"].startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(entries["waves/drop.wav"], wave);
    EXPECT_EQ(entries["strings.txt"],
              "1\tline\\nnext\\tcolumn \\\\ end\\\\n\\r\n65535\t" + names.toUtf8() + '\n');

    const auto module = ResourceModule::open("style.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->file_path(), QDir::current().absoluteFilePath("style.lvr"));
    EXPECT_EQ(module->bitmap("red0005").value().convertToFormat(QImage::Format_ARGB32),
              test_picture());
    EXPECT_FALSE(module->bitmap("RED0005").has_value());   // entry names keep their letter case
    EXPECT_EQ(module->string(1), lines);
    EXPECT_EQ(module->string(65535), names);
}

TEST(ResourceModule, WriterWritesEmptyModulesButNoFileWhenItFails) {
    const TemporaryWorkingFolder folder;
    ResourceModuleWriter unwritable_place;
    unwritable_place.add_string(1, QStringLiteral("text"));
    EXPECT_FALSE(unwritable_place.write("no such folder/style.lvr"));
    ResourceModuleWriter null_picture;
    null_picture.add_bitmap("empty", QImage());
    EXPECT_FALSE(null_picture.write("style.lvr"));
    EXPECT_TRUE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    ASSERT_TRUE(ResourceModuleWriter().write("empty.lvr"));
    const auto module = ResourceModule::open("empty.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->string(1), std::nullopt);
}

// The exact name first, then the first name in the same folder that differs only in letter
// case, and that only when it is a file: the folder "styles/Alpha.lvr" is listed before the file
// "styles/alpha.lvr". Each module holds its own name as string 1.
TEST(ResourceModule, OpensTheExactNameFirstThenAFileNamedInOtherLetterCase) {
    const TemporaryWorkingFolder folder;
    ASSERT_TRUE(QDir::current().mkpath("styles/Alpha.lvr"));
    for (const char* file : {"standard.lvr", "Standard.lvr", "styles/alpha.lvr"}) {
        ResourceModuleWriter writer;
        writer.add_string(1, file);
        ASSERT_TRUE(writer.write(file));
    }
    const std::pair<const char*, std::optional<QString>> opens[] = {
        {"standard.lvr", "standard.lvr"}, {"Standard.lvr", "Standard.lvr"},
        {"styles/ALPHA.lvr", "styles/alpha.lvr"}, {"other.lvr", std::nullopt}};
    for (const auto& [request, opened] : opens) {
        const auto module = ResourceModule::open(request);
        EXPECT_EQ(module ? module->string(1) : std::nullopt, opened) << request;
    }
}

TEST(ResourceModule, DamagedOrForeignFilesDoNotOpen) {
    const TemporaryWorkingFolder folder;
    write_zip("good.lvr", {{"bitmaps/main1.png", png()}, {"strings.txt", "1\tone\n"}});
    const QByteArray good = read_file_bytes("good.lvr");
    QByteArray far_directory = good;   // the end record points past the end of the file
    qToLittleEndian<quint32>(0x7FFFFFF0u, far_directory.data() + good.size() - 6);
    const std::pair<const char*, QByteArray> damaged[] = {
        {"empty", {}}, {"first half", good.left(good.size() / 2)},
        {"last bytes cut", good.chopped(10)}, {"first header overwritten", "XXXX" + good.mid(4)},
        {"signature, then junk", "PK\x03\x04" + samples(4096)}, {"far directory", far_directory}};
    for (const auto& [label, bytes] : damaged) {
        write_file_bytes("bad.lvr", bytes);
        EXPECT_EQ(ResourceModule::open("bad.lvr"), nullptr) << label;
    }
}

TEST(ResourceModule, DamagedEntryDataIsMissingWhileTheRestLoads) {
    const TemporaryWorkingFolder folder;
    const QByteArray wave = simple_wave(3000);
    write_zip("m.lvr", {{"waves/stored.wav", wave, true}, {"waves/packed.wav", wave},
                        {"waves/intact.wav", wave}});
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
}

enum Kind { kBitmap, kWave, kStrings };

// The one entry of an archive: "bitmaps/x.png", "waves/x.wav" or a string table with string 1.
struct Entry {
    const char* label;
    Kind kind;
    bool readable;
    QByteArray (*bytes)();
    quint32 (*lie)(quint32 declared) = nullptr;
    SizeField lied_size = kUncompressed;
};

void PrintTo(const Entry& test, std::ostream* out) { *out << test.label; }

class EntryReading : public ::testing::TestWithParam<Entry> {};

TEST_P(EntryReading, ReadsWhatFitsTheLimitsAndRefusesWhatIsUndecodableOrLying) {
    const TemporaryWorkingFolder folder;
    const Entry& test = GetParam();
    const char* names[] = {"bitmaps/x.png", "waves/x.wav", "strings.txt"};
    write_zip("m.lvr", {{names[test.kind], test.bytes()}});
    if (test.lie) {
        QByteArray archive = read_file_bytes("m.lvr");
        lie_about_size(archive, test.lied_size, test.lie);
        write_file_bytes("m.lvr", archive);
    }
    const auto module = ResourceModule::open("m.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(test.kind == kBitmap ? module->bitmap("x").has_value()
              : test.kind == kWave ? module->wave("x").has_value()
                                   : module->string(1).has_value(),
              test.readable);
}

constexpr qsizetype kLimit = kMaxResourceBytes;
QByteArray wave() { return simple_wave(5000); }
QByteArray string_table(qsizetype size) { return padded("1\tone\n", size); }

INSTANTIATE_TEST_SUITE_P(
    ResourceModule, EntryReading,
    ::testing::Values(
        Entry{"BitmapInOtherFormat", kBitmap, true, [] { return encode(test_picture(), "BMP"); }},
        Entry{"BitmapAtSizeLimit", kBitmap, true, [] { return padded(png(), kLimit); }},
        Entry{"BitmapOverSizeLimit", kBitmap, false, [] { return padded(png(), kLimit + 1); }},
        Entry{"BitmapNotAPicture", kBitmap, false, [] { return QByteArray("no picture"); }},
        Entry{"PictureAtSideLimit", kBitmap, true,
              [] { return encode(QImage(1, kMaxBitmapSide, QImage::Format_RGB32), "PNG"); }},
        Entry{"PictureTooWide", kBitmap, false,
              [] { return encode(QImage(kMaxBitmapSide + 1, 1, QImage::Format_RGB32), "PNG"); }},
        Entry{"WaveNotRiffWave", kWave, false, [] { return "RIFF" + le32(4) + "AVI LIST"; }},
        Entry{"WaveAtSizeLimit", kWave, true, [] { return padded(wave(), kLimit); }},
        Entry{"WaveOverSizeLimit", kWave, false, [] { return padded(wave(), kLimit + 1); }},
        Entry{"ZipBombDeclaringSmallSize", kWave, false, [] { return padded(wave(), 4 * kLimit); },
              [](quint32) { return 1000u; }},
        Entry{"SizeClaimsMore", kWave, false, wave, [](quint32 size) { return size + 16; }},
        Entry{"SizeClaimsLess", kWave, false, wave, [](quint32 size) { return size - 16; }},
        Entry{"CompressedSizeClaimsLess", kWave, false, wave, [](quint32 size) { return size / 2; },
              kCompressed},
        Entry{"StringTableAtSizeLimit", kStrings, true,
              [] { return string_table(kMaxStringTableBytes); }},
        Entry{"StringTableOverSizeLimit", kStrings, false,
              [] { return string_table(kMaxStringTableBytes + 1); }}),
    kLabel);

struct StringLine {
    const char* label;
    QByteArray line;                 // between "1<TAB>first" and "2<TAB>last"
    int id = 0;
    std::optional<QString> text{};   // nothing: the line is malformed
};

void PrintTo(const StringLine& test, std::ostream* out) { *out << test.label; }

class StringTableLine : public ::testing::TestWithParam<StringLine> {};

TEST_P(StringTableLine, ReadsGoodLinesAndSkipsMalformedOnes) {
    const StringLine& test = GetParam();
    const StringTable table =
        parse_string_table("\xEF\xBB\xBF" "1\tfirst\n" + test.line + "\n2\tlast");
    std::map<int, QString> strings{{1, QStringLiteral("first")}, {2, QStringLiteral("last")}};
    if (test.text) strings.emplace(test.id, *test.text);
    EXPECT_EQ(table.strings, strings);
    EXPECT_EQ(table.malformed_lines, test.text ? std::vector<int>{} : std::vector<int>{2});
}

INSTANTIATE_TEST_SUITE_P(
    ResourceModule, StringTableLine,
    ::testing::Values(
        StringLine{"Escapes", "7\ta\\nb\\tc\\\\d\\\\n\\r", 7, QStringLiteral("a\nb\tc\\d\\n\r")},
        StringLine{"WindowsLineEnd", "9\tline\r", 9, QStringLiteral("line")},
        StringLine{"UnknownEscapeKept", "10\ta\\qb\\", 10, QStringLiteral("a\\qb\\")},
        StringLine{"EmptyText", "11\t", 11, QString()},
        StringLine{"NegativeId", "-5\tminus", -5, QStringLiteral("minus")},
        StringLine{"FirstOfTwoWins", "1\tsecond", 1, QStringLiteral("first")},
        StringLine{"NoTab", "12 text"}, StringLine{"HexId", "0x0D\ttext"},
        StringLine{"SpaceBeforeId", " 14\ttext"}, StringLine{"SpaceAfterId", "14 \ttext"},
        StringLine{"PlusSign", "+14\ttext"}, StringLine{"IdOutOfRange", "99999999999\ttext"},
        StringLine{"NoId", "\ttext"}, StringLine{"InvalidUtf8", "15\t\xFF\xFE"}),
    kLabel);

}  // namespace
