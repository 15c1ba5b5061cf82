// The HTML report as a browser shows it: opened in headless Chromium from a file, with nothing
// else beside it. Titles that look like markup must show as text, the histogram must draw, and the
// page must need nothing from elsewhere.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "report.h"

namespace {

const char kChromium[] = "/usr/bin/chromium";

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Pids of the processes whose command line names `folder` (every process of one browser run).
std::vector<pid_t> processesNaming(const std::string& folder) {
    std::vector<pid_t> found;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc))
            if (std::atoi(entry->d_name) > 0 &&
                readWhole(std::string("/proc/") + entry->d_name + "/cmdline").find(folder) !=
                    std::string::npos)
                found.push_back(std::atoi(entry->d_name));
        closedir(proc);
    }
    return found;
}

// Opens `page` in headless Chromium, in a private folder with networking off, and returns the
// document it parsed, serialized. The two-minute limit only ends a hung browser.
std::string parsedByChromium(const std::string& page) {
    std::string folder = (std::filesystem::temp_directory_path() / "songbeacon-report-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return "";
    std::ofstream(folder + "/report.html", std::ios::binary) << page;
    const std::string command = "cd '" + folder + "' && mkdir profile config && XDG_CONFIG_HOME='" + folder +
                                "/config' timeout -k 10 120 " + kChromium +
                                " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                                " --disable-background-networking --disable-component-update --disable-sync"
                                " --user-data-dir='" +
                                folder + "/profile' --dump-dom 'file://" + folder +
                                "/report.html' >dom.html 2>chromium.log </dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << readWhole(folder + "/chromium.log");
    for (pid_t process : processesNaming(folder))
        kill(process, SIGKILL);
    for (int tries = 0; tries < 200 && !processesNaming(folder).empty(); tries++)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string dom = readWhole(folder + "/dom.html");
    std::filesystem::remove_all(folder);
    return dom;
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        count++;
    return count;
}

sim::RunStats hostileStats() {
    sim::RunStats stats = {};
    stats.played = 40;
    stats.skipped = 10;
    stats.skipRate = 0.2;
    stats.artistReturns = 12;
    stats.smallestGap = 1;
    stats.medianGap = 9;
    int32_t low = 0;
    for (int32_t high : {0, 1, 4, 9, 19, -1}) {
        stats.gapHistogram.push_back({low, high, 2, high >= 0 && high < 5});
        low = high + 1;
    }
    stats.misjudgedRefusals = 3;
    stats.misjudgedPairs = {{"<script>alert(1)</script>", "Queen & Co", 3}};
    stats.spellingRepeats = 1;
    stats.spellingPairs = {{"AC/DC", "\"ACDC\" <i>", 1}};
    stats.mostRefused = {{"Tom & Jerry <Live> 'x'", 4}};
    return stats;
}

TEST(ReportInBrowser, TitlesShowAsTextAndTheHistogramDraws) {
    if (access(kChromium, X_OK) != 0)
        GTEST_SKIP() << kChromium << " is not installed";
    const sim::ReportContext context = {"<b>list</b>.m3u", 50, false, 0, 0, 0, true, {5, 20, true}, {}};
    const std::string page = sim::renderHtmlReport(context, hostileStats());

    // Self-contained: nothing to fetch, nothing to run.
    for (const char* outside : {"http", "src=", "href=", "<link", "@import", "url(", "<script", "<img"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;

    const std::string dom = parsedByChromium(page);
    ASSERT_NE(dom.find("</html>"), std::string::npos) << dom;
    EXPECT_EQ(dom.find("<script"), std::string::npos);
    EXPECT_EQ(dom.find("<i>"), std::string::npos);
    EXPECT_EQ(dom.find("<b>"), std::string::npos);
    EXPECT_NE(dom.find("&lt;script&gt;alert(1)&lt;/script&gt; / Queen &amp; Co"), std::string::npos);
    EXPECT_NE(dom.find("Tom &amp; Jerry &lt;Live&gt; 'x'"), std::string::npos);
    EXPECT_NE(dom.find("<title>Tuning report: &lt;b&gt;list&lt;/b&gt;.m3u</title>"), std::string::npos);
    EXPECT_EQ(occurrences(dom, "<svg"), 1u);
    EXPECT_EQ(occurrences(dom, "<rect"), 6u);
    EXPECT_EQ(occurrences(dom, "fill=\"#d9822b\""), 3u) << "the buckets within the artist window";
}

} // namespace
