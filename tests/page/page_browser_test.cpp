// The page as a listener's browser shows it: rendered pages opened in headless Chromium, whose
// parsed document is read back as rows of visible text. Catches what byte comparisons cannot: a
// title that a browser would take for markup.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "history/title_history.h"
#include "page/page_render.h"
#include "support/headless_browser.h"

namespace {

std::string parsedByChromium(const std::string& page) {
    return support::parsedByChromium(page, "status.htm");
}

// Text of serialized markup as a reader sees it: tags dropped, the serializer's escapes undone.
std::string visibleText(const std::string& markup) {
    std::string text;
    for (size_t i = 0; i < markup.size(); i++) {
        if (markup[i] == '<') {
            i = markup.find('>', i);
            if (i == std::string::npos)
                break;
            continue;
        }
        bool decoded = false;
        for (auto [entity, character] :
             {std::pair{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}})
            if (markup.compare(i, std::string(entity).size(), entity) == 0) {
                text += character;
                i += std::string(entity).size() - 1;
                decoded = true;
                break;
            }
        if (!decoded)
            text += markup[i];
    }
    return text;
}

// Every table row of the document, top to bottom, as the visible text of its cells joined by '|'.
std::vector<std::string> tableRows(const std::string& dom) {
    std::vector<std::string> rows;
    for (size_t row = dom.find("<tr>"); row != std::string::npos; row = dom.find("<tr>", row + 1)) {
        const std::string markup = dom.substr(row, dom.find("</tr>", row) - row);
        std::string cells;
        for (size_t cell = markup.find("<td"); cell != std::string::npos; cell = markup.find("<td", cell + 1))
            cells += (cells.empty() ? "" : "|") +
                     visibleText(markup.substr(cell, markup.find("</td>", cell) - cell));
        rows.push_back(cells);
    }
    return rows;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

struct PageBrowserTest : ::testing::Test {
    TitleHistory* history = history::create(1000);
    PageContent content = {
        "Radio Songbeacon", "<B>Night Shift</B> with <I>DJ Example</I>", 10, 1, nullptr, history};
    const std::vector<std::string> recentRows = {
        "Last 3 tracks played:", "1|AC/DC - Back In Black", "2|<script>document.title='owned'</script>Evil",
        "3|Miles Davis - So What", "This page was created by The Songbeacon Plug-In for WinAmp."};

    void SetUp() override {
        if (!support::chromiumInstalled())
            GTEST_SKIP() << support::kChromium << " is not installed";
        ASSERT_NE(history, nullptr);
        for (const char* title : {"Miles Davis - So What", "<script>document.title='owned'</script>Evil",
                                  "AC/DC - Back In Black", "Tom & Jerry <Live> \"x\""})
            history::append(history, title);
        content.currentTitle = history::newest(history);
    }
    void TearDown() override { history::destroy(history); }

    std::string openInBrowser() {
        std::string page(page::render(content, nullptr, 0), '\0');
        page::render(content, page.data(), page.size());
        return parsedByChromium(page);
    }
};

TEST_F(PageBrowserTest, ListenerSeesTitlesLiterallyInNumberedRows) {
    const std::string dom = openInBrowser();
    std::vector<std::string> rows = {"", "Night Shift with DJ Example",
                                     "Currently playing track:", "Tom & Jerry <Live> \"x\""};
    rows.insert(rows.end(), recentRows.begin(), recentRows.end());
    EXPECT_EQ(tableRows(dom), rows);
    EXPECT_NE(dom.find("Tom &amp; Jerry &lt;Live&gt; \"x\""), std::string::npos); // one text node
    const std::string markup = lowered(dom);
    EXPECT_EQ(markup.find("<live"), std::string::npos);
    EXPECT_EQ(markup.find("<script"), std::string::npos);
    EXPECT_NE(markup.find("<title>radio songbeacon</title>"), std::string::npos); // no script renamed it
    const size_t refresh = markup.find("<meta http-equiv=\"refresh\" content=\"60\">");
    EXPECT_NE(refresh, std::string::npos);
    EXPECT_LT(refresh, markup.find("</head>"));
}

TEST_F(PageBrowserTest, OffLinePageShowsThePreviousTracks) {
    content.playing = 0;
    const std::string dom = openInBrowser();
    std::vector<std::string> rows = {"", "Night Shift with DJ Example", "The server is currently off-line."};
    rows.insert(rows.end(), recentRows.begin(), recentRows.end());
    EXPECT_EQ(tableRows(dom), rows);
    EXPECT_NE(lowered(dom).find("<meta http-equiv=\"refresh\" content=\"60\">"), std::string::npos);
}

// A station whose titles are in another code page declares it at the very start of HTMLHeader, as
// docs/installing.md tells operators to (the page declares no character set itself, and a browser left to
// guess may guess wrong). Titles in windows-1250 then read right, and the same bytes declared as
// windows-1252 read as that: the line in the header is what decides. A declaration counts only
// within the page's first 1024 bytes, and the header starts 410 bytes plus the page title's length
// in: the guide's limit of 500 bytes of title keeps the line within them.
TEST(PageCharsetTest, DeclarationAtTheStartOfTheHeaderReadsAnotherCodePage) {
    if (!support::chromiumInstalled())
        GTEST_SKIP() << support::kChromium << " is not installed";
    const std::string declaration =
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1250\">";
    const std::string declaredHeader = declaration + "<B>Nocna zmiana</B>";
    const std::unique_ptr<TitleHistory, void (*)(TitleHistory*)> history(history::create(10),
                                                                         history::destroy);
    ASSERT_NE(history, nullptr);
    history::append(history.get(), "\xa3\xf3\x64\x9f - Miasto");     // "Łódź - Miasto" in windows-1250
    history::append(history.get(), "\x8c\x6c\xb9zak - Pie\x9c\xf1"); // "Ślązak - Pieśń"
    const std::string title = "Radio \xa3\xf3\x64\x9f";              // "Radio Łódź"
    PageContent content = {title.c_str(), declaredHeader.c_str(), 10, 1, history::newest(history.get()),
                           history.get()};
    auto render = [&content] {
        std::string page(page::render(content, nullptr, 0), '\0');
        page::render(content, page.data(), page.size());
        return page;
    };

    const std::string declared = render();
    EXPECT_EQ(declared.find(declaration), 410 + title.size());
    const std::string dom = parsedByChromium(declared);
    EXPECT_NE(dom.find("<title>Radio Łódź</title>"), std::string::npos) << dom;
    const std::vector<std::string> rows = {"",
                                           "Nocna zmiana",
                                           "Currently playing track:",
                                           "Ślązak - Pieśń",
                                           "Last track played:",
                                           "1|Łódź - Miasto",
                                           "This page was created by The Songbeacon Plug-In for WinAmp."};
    EXPECT_EQ(tableRows(dom), rows);

    // The same bytes under another declaration read as that code page: the line decides.
    const std::string westernHeader =
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\"><B>Nocna zmiana</B>";
    content.htmlHeader = westernHeader.c_str();
    const std::vector<std::string> western = tableRows(parsedByChromium(render()));
    ASSERT_EQ(western.size(), rows.size());
    EXPECT_EQ(western[3], "Œl¹zak - Pieœñ");
    EXPECT_EQ(western[5], "1|£ódŸ - Miasto");

    const std::string longestTitle(500, 'x');
    content.htmlTitle = longestTitle.c_str();
    content.htmlHeader = declaredHeader.c_str();
    EXPECT_LE(render().find(declaration) + declaration.size(), 1024u);
}

} // namespace
