#include "highscores/internet_scores.h"

#include <gtest/gtest.h>

#include "modal_guard.h"

namespace {

QString row_line(int points, const QString& name, const QString& country = "Oslo") {
    return QString(R"(<TD class="poi" >  %1</TD><TD class="nam" >%2 </TD><TD class="cou" >%3</TD>)").arg(points).arg(name, country);
}

// A page whose nine rows stand where the marker puts them, with filler lines between.
QStringList page(const std::vector<std::pair<int, QString>>& rows, const QString& marker = "<!-- first row -->") {
    QStringList lines{"<html>", "<table>", marker, "<TR>"};
    for (const auto& [points, name] : rows) lines << row_line(points, name) << "</TR>" << "<TR>";
    return lines;
}

std::vector<std::pair<int, QString>> web_rows() {
    return {{900, "Ann"}, {700, "Bo"}, {600, "Cy"}, {500, "Di"}, {400, "Ed"},
            {300, "Flo"}, {200, "Gus"}, {100, "Hal"}, {50, "Ivy"}};
}

QString local_line(int rank, int points, const QString& name) {
    return QString("%1.    %2").arg(rank).arg(QString::number(points).leftJustified(10)) + name;
}

}  // namespace

TEST(PageRow, ReadsItsThreeCells) {
    struct Case {
        const char* meaning;
        QString line;
        int points;
        QString name;
        QString country;
    };
    const Case cases[] = {
        {"blanks and control characters around values", R"(<TD class="poi" > )" "\t 740\r</TD><TD class=\"nam\" >\x01 Zoë Weiß </TD>"
                                                        R"(<TD class="cou" >Köln</TD>)", 740, "Zoë Weiß", "Köln"},
        {"character references", row_line(15, "Tom &amp; &lt;Jerry&gt; &#233;&#x41;"), 15, "Tom & <Jerry> éA", "Oslo"},
        {"an unknown reference stays", row_line(15, "a &nbsp; b &#xD800; c"), 15, "a &nbsp; b &#xD800; c", "Oslo"},
        {"a name without a cell end", R"(<TD class="poi" >7</TD><TD class="nam" >Kai)", 7, "", ""},
        {"markers out of order lose the name", R"(<TD class="nam" >Kai</TD><TD class="poi" >7</TD>)", 7, "", ""},
        {"negative points", row_line(-3, "Neg"), -3, "Neg", "Oslo"},
    };
    for (const Case& c : cases) {
        const score row = parse_page_row(c.line);
        EXPECT_EQ(row.points, c.points) << c.meaning;
        EXPECT_EQ(row.name, c.name) << c.meaning;
        EXPECT_EQ(row.country, c.country) << c.meaning;
    }
}

TEST(PageRow, PointsMustBeADecimalNumber) {
    for (const char* points : {"", "12a", "0x1F", "$1F", "99999999999", "1 2"})
        EXPECT_THROW(parse_page_row(R"(<TD class="poi" >)" + QString(points) + "</TD>"), PageError) << points;
    EXPECT_THROW(parse_page_row("no cells at all"), PageError);
}

TEST(Page, RowsStandEveryThirdLineAfterTheMarker) {
    EXPECT_EQ(parse_page(page(web_rows()))[8].name, "Ivy");
    QStringList shouting = page(web_rows(), "<!-- FIRST ROW -->");
    shouting.prepend("<!-- First Row --> not alone on its line");
    const std::vector<score> rows = parse_page(shouting);
    EXPECT_EQ(rows[0].points, 900);
    EXPECT_EQ(rows[8].name, "Ivy");
    EXPECT_EQ(first_row_marker(shouting), 3);

    QStringList no_marker{"x"};  // rows on lines 1, 4, ..., 25
    for (const auto& [points, name] : web_rows()) no_marker << row_line(points, name) << "" << "";
    EXPECT_EQ(first_row_marker(no_marker), -1);
    EXPECT_EQ(parse_page(no_marker)[4].name, "Ed");

    QStringList short_page = page(web_rows());
    short_page.removeLast();
    short_page.removeLast();
    short_page.removeLast();
    EXPECT_THROW(parse_page(short_page), PageError);
}

TEST(LocalEntries, EachNameOnceWithoutDefaults) {
    const QStringList table{local_line(1, 803, "Marit Stonewell"),  // reserved name, but not a default
                            local_line(2, 800, "Jonas Quill"),      // a default entry
                            local_line(3, 700, "Kai"),
                            local_line(4, 600, "Kai"),
                            local_line(5, 500, "Ada Pebblestone"),
                            local_line(6, 450, "Ada Pebblestone"),  // its better line is a default
                            local_line(7, 300, "Lu Wei"),
                            local_line(8, 5000, "x"),
                            local_line(9, 10, "Rosa Glen"),
                            "",
                            local_line(1, 999, "Other Mode")};
    std::vector<std::pair<int, QString>> kept;
    for (const score& entry : local_candidates(table)) kept.emplace_back(entry.points, entry.name);
    const std::vector<std::pair<int, QString>> expected{{803, "Marit Stonewell"}, {700, "Kai"}, {300, "Lu Wei"}, {5000, "x"}};
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(parse_local_line(local_line(3, 4321, "  Zoë  ")).country, "???");
}

TEST(Ranking, PlacesEachEntryBeforeTheFirstRowWithFewerPoints) {
    std::vector<score> web = parse_page(page(web_rows()));
    QStringList posted{"650 zoë"};
    EXPECT_EQ(rank_for_posting({"Bo", "", 650}, web, posted), -1) << "Bo stands there with 700";
    EXPECT_EQ(rank_for_posting({"Zoë", "", 650}, web, posted), -1) << "posted before, in another letter case";
    EXPECT_EQ(rank_for_posting({"Kai", "", 600}, web, posted), 3) << "equal points go below";
    EXPECT_EQ(rank_for_posting({"Lu", "", 600}, web, posted), 4) << "the table now holds Kai";
    EXPECT_EQ(rank_for_posting({"Mo", "", 50}, web, posted), -1) << "beats no row";
    EXPECT_EQ(posted, QStringList({"650 zoë", "600 Kai", "600 Lu"}));
    EXPECT_EQ(web[3].name, "Kai");
    EXPECT_EQ(web[8].name, "Gus");
    EXPECT_EQ(web.size(), 9u);
}

TEST(Ranking, DisplayLinePadsColumnsOnlyWhereThereIsRoom) {
    EXPECT_EQ(display_line({"Ann", "Oslo", 900}), "900       Ann" + QString(22, ' ') + "Oslo");
    EXPECT_EQ(display_line({QString(40, 'n'), "X", 1234567890}), "1234567890" + QString(40, 'n') + "X");
}
