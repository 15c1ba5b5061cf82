// The operator's files through the C library alone, so that what guards them is tested natively.
// The settings an earlier version's sweep kept aside may be the only copy the operator has of
// them: they are renamed, never removed nor written over.
#include "cli/operator_files.h"

#include <cstdio>

namespace sim {

bool readBytes(const std::string& path, std::string* bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    bytes->clear();
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes->append(buffer, got);
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    return read;
}

WriteResult writeBytes(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return kNotOpened;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? kWritten : kWriteFailed;
}

bool fileExists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

bool canWriteLater(const std::string& path) {
    if (fileExists(path)) {
        FILE* file = std::fopen(path.c_str(), "r+b"); // opens for writing, empties nothing
        if (file == nullptr)
            return false;
        std::fclose(file);
        return true;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    std::remove(path.c_str());
    return true;
}

std::string oldKeptIniPath(const std::string& iniPath) {
    return iniPath + ".before-sweep";
}

std::string oldAbsentMarkPath(const std::string& iniPath) {
    return iniPath + ".absent-before-sweep";
}

std::string oldReplayRecordPath(const std::string& iniPath) {
    return iniPath + ".replay-written";
}

std::string settingsBeforeEndedSweepPath(const std::string& iniPath) {
    const size_t name = iniPath.find_last_of("\\/") + 1; // 0 when plugin.ini is named alone
    return iniPath.substr(0, name) + "plugin-before-an-ended-sweep.ini";
}

void settleOldSweepFiles(const std::string& iniPath, std::string* note) {
    note->clear();
    const std::string kept = oldKeptIniPath(iniPath);
    const bool copied = fileExists(kept);
    const bool absent = fileExists(oldAbsentMarkPath(iniPath));
    // Neither holds any settings: the mark is empty, the record holds checksums. A record alone
    // was left by a sweep that had put everything back; a mark alone, with no plugin.ini, by one
    // that had removed its own: there is nothing to say of either.
    std::remove(oldAbsentMarkPath(iniPath).c_str());
    std::remove(oldReplayRecordPath(iniPath).c_str());
    if (copied) {
        const std::string renamed = settingsBeforeEndedSweepPath(iniPath);
        const bool moved = !fileExists(renamed) && std::rename(kept.c_str(), renamed.c_str()) == 0;
        const std::string now = moved ? renamed : kept;
        *note = "found " + kept +
                ", the settings an earlier version's sweep kept aside before it was ended " +
                "during its replay: they are " + (moved ? "now in " + renamed : "left there") + ", and " +
                iniPath + " is used as it is (if that sweep left its own there, the page off, copy " + now +
                " over it); remove " + now + " once it is of no more use";
    } else if (absent && fileExists(iniPath)) {
        *note = "removed " + oldAbsentMarkPath(iniPath) +
                ", left by an earlier version's sweep ended during " +
                "its replay: there was no plugin.ini before it. " + iniPath + " is used as it is (if it is " +
                "that sweep's own, the page off, remove it: the plug-in then takes its defaults)";
    }
}

} // namespace sim
