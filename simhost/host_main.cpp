// songbeacon-host: a stand-in for the media player, for trying a general-purpose plug-in without
// one. It loads the plug-in through its export, plays a playlist at it track after track, obeys
// its next-track commands, and reports what happened to each track. Station operators can use it
// to try their playlist and repeat limits before going on air.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "playlist.h"
#include "plugin_header.h"
#include "sim_player.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitCannotLoad = 2;
constexpr int kExitRefusedToStart = 3;
constexpr int kExitShutDownHung = 5;
constexpr DWORD kShutDownLimitMs = 30000;

struct Options {
    const char* pluginPath = nullptr;
    const char* playlistPath = nullptr;
    DWORD paceMs = 2000;                  // how long each admitted track plays
    int32_t version = 0x5666;             // what the player answers to the version query
    bool repeat = false;                  // go round the playlist until `tracks` have played
    int32_t tracks = 0;                   // stop after this many played tracks; 0: once through the playlist
    bool configure = false;               // open the plug-in's configuration before playing
    std::vector<int32_t> pauseAt, stopAt; // 1-based entry numbers paused / stopped halfway
};

void usage() {
    std::printf(
        "usage: songbeacon-host <plugin.dll> <playlist.m3u|.txt> [options]\n"
        "  --pace MS        play each admitted track for MS milliseconds (default 2000)\n"
        "  --tracks N       go round the playlist until N tracks have played\n"
        "  --repeat         go round the playlist, for ever unless --tracks is given (default: once "
        "through)\n"
        "  --pause K        pause entry K halfway through, for one pace, then resume\n"
        "  --stop K         stop the player halfway through entry K, for one pace, then play it again\n"
        "  --configure      open the plug-in's configuration dialog before playing\n"
        "  --version HEX    the player version to report (default 5666)\n"
        "exit status: 0 done, 1 usage, 2 plug-in cannot be loaded, 3 plug-in refused to start,\n"
        "             5 the plug-in's shut-down did not return within 30 seconds\n");
}

bool parseOptions(int argc, char** argv, Options* options) {
    int positional = 0;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--repeat") {
            options->repeat = true;
        } else if (arg == "--configure") {
            options->configure = true;
        } else if (arg.compare(0, 2, "--") == 0) {
            if (value == nullptr)
                return false;
            i++;
            if (arg == "--pace")
                options->paceMs = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
            else if (arg == "--tracks")
                options->tracks = std::atoi(value);
            else if (arg == "--pause")
                options->pauseAt.push_back(std::atoi(value));
            else if (arg == "--stop")
                options->stopAt.push_back(std::atoi(value));
            else if (arg == "--version")
                options->version = static_cast<int32_t>(std::strtol(value, nullptr, 16));
            else
                return false;
        } else if (positional == 0) {
            options->pluginPath = argv[i];
            positional++;
        } else if (positional == 1) {
            options->playlistPath = argv[i];
            positional++;
        } else {
            return false;
        }
    }
    if (options->tracks > 0)
        options->repeat = true;
    return positional == 2;
}

bool contains(const std::vector<int32_t>& list, int32_t value) {
    for (int32_t item : list)
        if (item == value)
            return true;
    return false;
}

struct SkipWatch {
    const sim::Player* player;
    int32_t commandsBefore;
};

// Plays for `ms` while answering the plug-in; true when the plug-in asked to skip meanwhile.
bool playFor(sim::Player* player, DWORD ms) {
    SkipWatch watch = {player, player->nextTrackCommands};
    return sim::pumpUntil(
        [](void* w) {
            auto* watch = static_cast<SkipWatch*>(w);
            return watch->player->nextTrackCommands != watch->commandsBefore;
        },
        &watch, ms);
}

// Plays the current entry; returns true when the plug-in had it skipped.
bool playEntry(sim::Player* player, const Options& options, int32_t entryNumber) {
    player->state = sim::kPlaying;
    const bool pause = contains(options.pauseAt, entryNumber), stop = contains(options.stopAt, entryNumber);
    if (!pause && !stop)
        return playFor(player, options.paceMs);
    if (playFor(player, options.paceMs / 2))
        return true;
    player->state = pause ? sim::kPaused : sim::kStopped;
    std::printf("      %s for %lu ms\n", pause ? "paused" : "stopped",
                static_cast<unsigned long>(options.paceMs));
    if (playFor(player, options.paceMs))
        return true;
    player->state = sim::kPlaying;
    std::printf("      playing again\n");
    return playFor(player, options.paceMs - options.paceMs / 2);
}

HANDLE shutDownReturned;

DWORD WINAPI watchShutDown(LPVOID) {
    if (WaitForSingleObject(shutDownReturned, kShutDownLimitMs) != WAIT_OBJECT_0) {
        std::printf("error: the plug-in's shutDown did not return within %lu s\n",
                    static_cast<unsigned long>(kShutDownLimitMs / 1000));
        std::fflush(stdout);
        ExitProcess(kExitShutDownHung);
    }
    return 0;
}

// Calls shutDown with a watchdog: a plug-in whose shut-down never returns would hang the player.
void shutDownWatched(sim::PluginHeader* plugin) {
    shutDownReturned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE watchdog = CreateThread(nullptr, 0, watchShutDown, nullptr, 0, nullptr);
    const ULONGLONG started = GetTickCount64();
    plugin->shutDown();
    const ULONGLONG took = GetTickCount64() - started;
    SetEvent(shutDownReturned);
    WaitForSingleObject(watchdog, INFINITE);
    CloseHandle(watchdog);
    CloseHandle(shutDownReturned);
    std::printf("shutDown returned after %llu ms\n", took);
}

sim::PluginHeader* loadPlugin(const char* path, HMODULE* module) {
    *module = LoadLibraryA(path);
    if (*module == nullptr) {
        std::printf("error: cannot load %s (error %lu)\n", path, GetLastError());
        return nullptr;
    }
    auto entry = reinterpret_cast<sim::PluginHeader* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(*module, sim::kPluginEntryName)));
    sim::PluginHeader* plugin = entry != nullptr ? entry() : nullptr;
    if (plugin == nullptr)
        std::printf("error: %s is not a general-purpose plug-in (no winampGetGeneralPurposePlugin)\n", path);
    return plugin;
}

void reportEntry(const sim::Player* player, int32_t entry, const char* what) {
    std::printf("%5ld  %-8s %s\n", static_cast<long>(entry + 1), what,
                player->titles[static_cast<size_t>(entry)].c_str());
    std::fflush(stdout);
}

// Plays the playlist at the plug-in and reports each entry. Returns the number of tracks played.
int32_t playPlaylist(sim::Player* player, const Options& options) {
    const auto entries = static_cast<int32_t>(player->titles.size());
    const int32_t wanted = options.tracks > 0 ? options.tracks : INT32_MAX;
    int32_t played = 0, skippedInARow = 0;
    size_t skipsReported = 0;
    player->position = 0;
    player->wrapAtEnd = options.repeat;
    while (played < wanted) {
        const int32_t entry = player->position;
        if (playEntry(player, options, entry + 1)) {
            // The plug-in may have refused several entries in a row before this thread looked:
            // the player logged each one as it obeyed.
            for (; skipsReported < player->skippedEntries.size(); skipsReported++, skippedInARow++)
                reportEntry(player, player->skippedEntries[skipsReported], "skipped");
            if (skippedInARow >= entries) {
                std::printf("The plug-in refused every entry of the playlist in a row: with these settings "
                            "the station would play nothing while the player skips round and round.\n");
                break;
            }
        } else {
            reportEntry(player, entry, "played");
            played++;
            skippedInARow = 0;
            if (entry + 1 < entries)
                player->position = entry + 1;
            else if (options.repeat)
                player->position = 0;
            else
                player->state = sim::kStopped;
        }
        if (player->state == sim::kStopped) // the end of the playlist
            break;
    }
    player->state = sim::kStopped;
    std::printf("summary: %ld played, %ld skipped\n", static_cast<long>(played),
                static_cast<long>(player->skippedEntries.size()));
    return played;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        usage();
        return kExitUsage;
    }
    std::ifstream file(options.playlistPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    sim::Player player;
    sim::initPlayer(&player);
    player.titles = sim::parsePlaylist(options.playlistPath, text.str());
    if (!file || player.titles.empty()) {
        std::printf("error: no titles in playlist %s\n", options.playlistPath);
        return kExitUsage;
    }
    player.version = options.version;
    if (!sim::createPlayerWindow(&player)) {
        std::printf("error: cannot create the player window\n");
        return kExitCannotLoad;
    }

    HMODULE module = nullptr;
    sim::PluginHeader* plugin = loadPlugin(options.pluginPath, &module);
    if (plugin == nullptr)
        return kExitCannotLoad;
    plugin->hostWindow = player.window;
    plugin->moduleInstance = module;
    if (plugin->startUp() != 0) {
        std::printf("error: the plug-in refused to start (startUp returned non-zero)\n");
        return kExitRefusedToStart;
    }
    std::printf("plug-in: %s\nplaylist: %s, %ld entries, %lu ms a track\n", plugin->description,
                options.playlistPath, static_cast<long>(player.titles.size()),
                static_cast<unsigned long>(options.paceMs));
    std::fflush(stdout);
    if (options.configure)
        plugin->configure();

    playPlaylist(&player, options);
    shutDownWatched(plugin);
    FreeLibrary(module);
    sim::destroyPlayerWindow(&player);
    return 0;
}
