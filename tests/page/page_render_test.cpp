// The status page as it lands on disk: whole pages compared byte for byte with text written out
// here, line feeds as CR LF, titles escaped, and the measure-then-render contract.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "history/title_history.h"
#include "page/page_render.h"

namespace {

// Everything up to the cell that says whether a track plays.
std::string head(const std::string& title, const std::string& header) {
    return "<HTML><META HTTP-EQUIV=\"REFRESH\" CONTENT=\"60\"><HEAD><TITLE>" + title + "</TITLE></HEAD>\r\n" +
           "<BODY BGCOLOR=#000000 TEXT=#FFFF00 LINK=#FFFF00 ALINK=#FFFFFF VLINK=#FFFF00>\r\n"
           "<CENTER><TABLE WIDTH=450 BORDER=0 CELLSPACING=3 CELLPADDING=2>\r\n"
           "<TR><TD><CENTER><A HREF=\"https://www.shoutcast.com/\"><IMG SRC=\"sc-logo.jpg\" WIDTH=440 "
           "HEIGHT=121 BORDER=0 HSPACE=0 VSPACE=0></A></CENTER></TD></TR>\r\n"
           "<TR><TD><FONT FACE=Arial, Helvetica SIZE=2>" +
           header + "</FONT></TD></TR><TR><TD BGCOLOR=#005588>";
}
const std::string kHead = head("Station", "Header");

std::string nowPlaying(const std::string& current) {
    return "<B><FONT FACE=Arial, Helvetica SIZE=2 SIZE=+2>Currently playing track:</FONT></B></TD></TR>\r\n"
           "<TR><TD BGCOLOR=#003355><FONT FACE=Arial, Helvetica SIZE=2>" +
           current + "</FONT></TD></TR></TABLE>\r\n";
}

const std::string kOffLine = "<B><FONT FACE=Arial, Helvetica SIZE=2 SIZE=+2>The server is currently off-line."
                             "</FONT></B></TD></TR></TABLE>\r\n";

// The recent-track table with `titles` as rows 1, 2, ... in that order.
std::string recentTable(const std::string& heading, const std::vector<std::string>& titles) {
    std::string table = "<BR><TABLE WIDTH=450 BORDER=0 CELLSPACING=3 CELLPADDING=2>\r\n"
                        "<TR><TD COLSPAN=2 BGCOLOR=#005588><B><FONT FACE=Arial, Helvetica SIZE=2 SIZE=+2>" +
                        heading + "</FONT></B></TD></TR>\r\n";
    for (size_t i = 0; i < titles.size(); i++)
        table += "<TR><TD WIDTH=15% BGCOLOR=#003355><FONT FACE=Arial, Helvetica SIZE=2>" +
                 std::to_string(i + 1) +
                 "</FONT></TD><TD WIDTH=85% BGCOLOR=#003355><FONT FACE=Arial, Helvetica SIZE=2>" + titles[i] +
                 "</FONT></TD></TR>\r\n";
    return table + "</TABLE>\r\n";
}

const std::string kFooter = "<TABLE WIDTH=450 BORDER=0 CELLSPACING=3 CELLPADDING=2><TR><TD><HR SIZE=1><FONT "
                            "FACE=\"Arial, Helvetica\" SIZE=1>This page was created by <A "
                            "HREF=\"https://songbeacon.org/\">The Songbeacon Plug-In for WinAmp</A>."
                            "</TD></TR></TABLE></CENTER></BODY></HTML>\r\n";

std::string track(int i) {
    return "Artist " + std::to_string(i) + " - Song " + std::to_string(i);
}

struct PageRenderTest : ::testing::Test {
    TitleHistory* history = history::create(1000);
    PageContent content = {"Station", "Header", 10, 1, nullptr, history};

    void SetUp() override { ASSERT_NE(history, nullptr); }
    void TearDown() override { history::destroy(history); }

    // Admits tracks from..to-1; the newest is the one playing.
    void admit(int from, int to) {
        for (int i = from; i < to; i++)
            admit(track(i).c_str());
    }
    void admit(const char* title) {
        history::append(history, title);
        content.currentTitle = history::newest(history);
    }
    std::string rendered() const {
        std::string page(page::render(content, nullptr, 0), '\0');
        EXPECT_EQ(page::render(content, page.data(), page.size()), page.size());
        return page;
    }
};

TEST_F(PageRenderTest, RecentTableListsTheTracksBeforeTheCurrentNewestFirst) {
    admit(0, 1);
    EXPECT_EQ(rendered(), kHead + nowPlaying(track(0)) + kFooter);
    admit(1, 2);
    EXPECT_EQ(rendered(),
              kHead + nowPlaying(track(1)) + recentTable("Last track played:", {track(0)}) + kFooter);
    admit(2, 3);
    EXPECT_EQ(rendered(), kHead + nowPlaying(track(2)) +
                              recentTable("Last 2 tracks played:", {track(1), track(0)}) + kFooter);
    admit(3, 20);
    std::vector<std::string> rows;
    for (int i = 18; i >= 9; i--)
        rows.push_back(track(i));
    EXPECT_EQ(rendered(),
              kHead + nowPlaying(track(19)) + recentTable("Last 10 tracks played:", rows) + kFooter);
}

TEST_F(PageRenderTest, RowLimitBoundsTheTableForAnyValue) {
    admit(0, 5);
    for (int32_t limit : {0, -1, INT32_MIN}) {
        content.recentTitleListLength = limit;
        EXPECT_EQ(rendered(), kHead + nowPlaying(track(4)) + kFooter) << "limit " << limit;
    }
    for (int32_t limit : {4, 1000, INT32_MAX}) {
        content.recentTitleListLength = limit;
        EXPECT_EQ(rendered(),
                  kHead + nowPlaying(track(4)) +
                      recentTable("Last 4 tracks played:", {track(3), track(2), track(1), track(0)}) +
                      kFooter)
            << "limit " << limit;
    }
    content.recentTitleListLength = 1;
    EXPECT_EQ(rendered(),
              kHead + nowPlaying(track(4)) + recentTable("Last track played:", {track(3)}) + kFooter);
}

TEST_F(PageRenderTest, OffLinePageLeavesOutTheLastAdmittedTrack) {
    content.playing = 0;
    EXPECT_EQ(rendered(), kHead + kOffLine + kFooter);
    content.history = nullptr;
    EXPECT_EQ(rendered(), kHead + kOffLine + kFooter);

    content.history = history;
    admit(0, 3);
    EXPECT_EQ(rendered(),
              kHead + kOffLine + recentTable("Last 2 tracks played:", {track(1), track(0)}) + kFooter);
}

// Titles are scanned in blocks: a special byte must be caught wherever it falls, and no other byte
// taken for one. The operator's title and header are HTML of their own and stay as held.
TEST_F(PageRenderTest, TitlesAreEscapedButTheOperatorsHtmlIsNot) {
    admit("Tom & Jerry <Live> \"x\"");
    std::string everyByte, everyByteEscaped;
    for (int c = 1; c < 256; c++) {
        everyByte += static_cast<char>(c);
        everyByteEscaped += c == '&'    ? "&amp;"
                            : c == '<'  ? "&lt;"
                            : c == '>'  ? "&gt;"
                            : c == '"'  ? "&quot;"
                            : c == '\n' ? "\r\n"
                                        : std::string(1, static_cast<char>(c));
    }
    admit(everyByte.c_str());
    content.htmlTitle = "Radio <Sun> & \"Moon\"";
    content.htmlHeader =
        "<CENTER><B><FONT SIZE=+1>Generic Server<BR>(edit your winamp\\plugin.ini file to change "
        "this line!)</FONT></B></CENTER><BR>";
    EXPECT_EQ(rendered(),
              head("Radio <Sun> & \"Moon\"", content.htmlHeader) + nowPlaying(everyByteEscaped) +
                  recentTable("Last track played:", {"Tom &amp; Jerry &lt;Live&gt; &quot;x&quot;"}) +
                  kFooter);

    content.history = nullptr;
    content.htmlTitle = "Station";
    content.htmlHeader = "Header";
    for (size_t length = 1; length <= 24; length++) {
        for (size_t at = 0; at < length; at++) {
            std::string title(length, '=');
            title[at] = '<';
            content.currentTitle = title.c_str();
            ASSERT_EQ(rendered(),
                      kHead + nowPlaying(std::string(at, '=') + "&lt;" + std::string(length - at - 1, '=')) +
                          kFooter)
                << "length " << length << ", '<' at " << at;
        }
    }
}

TEST_F(PageRenderTest, OutsideTextIsDataWithCrLfLineEnds) {
    admit("one\ntwo\r\nthree %s %n %%");
    admit("\n");
    content.htmlTitle = "Title\nline\r\n100% %s";
    content.htmlHeader = "\nHeader\r\nend\n%n%%%";
    EXPECT_EQ(rendered(),
              head("Title\r\nline\r\r\n100% %s", "\r\nHeader\r\r\nend\r\n%n%%%") + nowPlaying("\r\n") +
                  recentTable("Last track played:", {"one\r\ntwo\r\r\nthree %s %n %%"}) + kFooter);

    content.htmlTitle = content.htmlHeader = content.currentTitle = nullptr;
    content.history = nullptr;
    EXPECT_EQ(rendered(), head("", "") + nowPlaying("") + kFooter);
}

TEST_F(PageRenderTest, NeverWritesPastTheCapacityGiven) {
    admit("Tom & Jerry\n");
    admit(1, 4);
    const std::string page = rendered();
    EXPECT_EQ(page::render(content, nullptr, 0), page.size());
    for (size_t capacity = 0; capacity <= page.size(); capacity++) {
        std::string buffer(page.size() + 8, 'Z');
        ASSERT_EQ(page::render(content, buffer.data(), capacity), page.size()) << "capacity " << capacity;
        ASSERT_EQ(buffer.compare(0, capacity, page, 0, capacity), 0) << "capacity " << capacity;
        ASSERT_EQ(buffer.find_first_not_of('Z', capacity), std::string::npos) << "capacity " << capacity;
    }
}

// Empty pieces (an empty header, title or current track) while measuring with no buffer, and
// after a short buffer has filled: no offset may be taken from the null or full buffer. A fault
// here shows only under clang's UBSan (the fuzz build), as "applying non-zero offset to null pointer".
TEST_F(PageRenderTest, EmptyPiecesTouchNoBufferWhenMeasuringOrFull) {
    admit("");
    admit("");
    content.htmlTitle = content.htmlHeader = "";
    const std::string page = rendered();
    EXPECT_EQ(page, head("", "") + nowPlaying("") + recentTable("Last track played:", {""}) + kFooter);
    for (size_t capacity : {size_t{0}, size_t{1}, size_t{60}}) {
        std::string buffer(capacity + 8, 'Z');
        ASSERT_EQ(page::render(content, buffer.data(), capacity), page.size());
        EXPECT_EQ(buffer.compare(0, capacity, page, 0, capacity), 0) << "capacity " << capacity;
        EXPECT_EQ(buffer.find_first_not_of('Z', capacity), std::string::npos) << "capacity " << capacity;
    }
}

} // namespace
