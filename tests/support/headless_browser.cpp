// Headless Chromium for the native tests that check what a reader's browser makes of our HTML.
#include "support/headless_browser.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Pids of the processes whose command line names `folder`: every Chromium process of one run does,
// its crash handler included, which leaves the process group.
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

} // namespace

namespace support {

bool chromiumInstalled() {
    return access(kChromium, X_OK) == 0;
}

std::string parsedByChromium(const std::string& page, const std::string& fileName) {
    std::string folder = (std::filesystem::temp_directory_path() / "songbeacon-browser-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return "";
    std::ofstream(folder + "/" + fileName, std::ios::binary) << page;
    const std::string command = "cd '" + folder + "' && mkdir profile config && XDG_CONFIG_HOME='" + folder +
                                "/config' timeout -k 10 120 " + kChromium +
                                " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                                " --disable-background-networking --disable-component-update --disable-sync"
                                " --user-data-dir='" +
                                folder + "/profile' --dump-dom 'file://" + folder + "/" + fileName +
                                "' >dom.html 2>chromium.log </dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << "Chromium failed; its log:\n" << readWhole(folder + "/chromium.log");
    for (pid_t process : processesNaming(folder))
        kill(process, SIGKILL);
    for (int tries = 0; tries < 200 && !processesNaming(folder).empty(); tries++)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(processesNaming(folder).empty()) << "Chromium processes left behind";
    const std::string dom = readWhole(folder + "/dom.html");
    std::filesystem::remove_all(folder);
    return dom;
}

} // namespace support
