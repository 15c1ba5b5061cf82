// The operator's files through the C library alone, so that what guards them is tested natively.
// The copy of plugin.ini is the only place the operator's settings live while a replay runs: it
// is removed only once plugin.ini holds them again, and never written over.
#include "cli/operator_files.h"

#include <cstdint>
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

std::string keptIniPath(const std::string& iniPath) {
    return iniPath + ".before-sweep";
}

std::string absentIniPath(const std::string& iniPath) {
    return iniPath + ".absent-before-sweep";
}

std::string replayRecordPath(const std::string& iniPath) {
    return iniPath + ".replay-written";
}

std::string checksumLine(const std::string& bytes) {
    uint32_t crc = 0;
    auto feed = [&crc](unsigned char byte) {
        crc ^= static_cast<uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; bit++)
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    };
    for (char byte : bytes)
        feed(static_cast<unsigned char>(byte));
    for (size_t length = bytes.size(); length != 0; length >>= 8)
        feed(static_cast<unsigned char>(length & 0xFF));
    return std::to_string(~crc) + " " + std::to_string(bytes.size());
}

namespace {

// True when the record beside `iniPath` names a file of `bytes`: the replay wrote it.
bool replayWrote(const std::string& iniPath, const std::string& bytes) {
    std::string record;
    return readBytes(replayRecordPath(iniPath), &record) &&
           ("\n" + record).find("\n" + checksumLine(bytes) + "\n") != std::string::npos;
}

// Adds `bytes` to the record beside `iniPath`, unless it names them already; false when it cannot.
bool recordReplayBytes(const std::string& iniPath, const std::string& bytes) {
    std::string record;
    if (replayWrote(iniPath, bytes))
        return true;
    if (!readBytes(replayRecordPath(iniPath), &record))
        record.clear();
    return writeBytes(replayRecordPath(iniPath), record + checksumLine(bytes) + "\n") == kWritten;
}

// Removes the copy, the mark and the record beside `iniPath`, whichever are there.
void removeSweepFiles(const std::string& iniPath) {
    std::remove(keptIniPath(iniPath).c_str());
    std::remove(absentIniPath(iniPath).c_str());
    std::remove(replayRecordPath(iniPath).c_str());
}

// The line for plugin.ini no longer being the replay's: both files kept, and which is which.
std::string keptBothText(const std::string& iniPath, bool existed, const std::string& since) {
    return iniPath + " has been written " + since + ", so both are kept: " + iniPath +
           " as it is now, which this run uses, and " +
           (existed ? keptIniPath(iniPath) + " with the settings from before the sweep"
                    : absentIniPath(iniPath) + ", which says there was none before it") +
           " (remove it yourself once it is of no more use)";
}

} // namespace

KeptIniFound putBackKeptIni(const std::string& iniPath, std::string* message) {
    const std::string copyPath = keptIniPath(iniPath);
    const std::string absentPath = absentIniPath(iniPath);
    const bool copied = fileExists(copyPath);
    if (!copied && !fileExists(absentPath)) {
        std::remove(replayRecordPath(iniPath).c_str()); // left by a restore ended at its last step
        return kNoKeptIni;
    }
    const std::string found =
        copied ? "found " + copyPath +
                     ", the operator's plugin.ini kept by a sweep that was ended during its replay"
               : "found " + absentPath + ", left by a sweep that was ended during its replay: there was no " +
                     iniPath + " before it";
    const std::string yours =
        copied ? ": your settings are in " + copyPath + "; copy it over plugin.ini yourself"
               : ": remove it yourself";
    std::string bytes, now, check;
    const bool iniThere = fileExists(iniPath);
    if ((iniThere && !readBytes(iniPath, &now)) || (copied && !readBytes(copyPath, &bytes))) {
        *message = found + ", but cannot read " + (copied && iniThere ? "it or " : "") + iniPath +
                   (copied ? yours : ": see to it yourself, then remove " + absentPath);
        return kKeptIniStuck;
    }
    const bool same = copied && iniThere && now == bytes; // ended before the replay wrote its own
    if (iniThere && !same && !replayWrote(iniPath, now)) {
        *message =
            found + ", but " + keptBothText(iniPath, copied, "since that replay (or it kept no record)");
        return kKeptIniKeptBoth;
    }
    if (!copied || same) {
        if (!copied && iniThere && std::remove(iniPath.c_str()) != 0) {
            *message = found + ", but the replay's cannot be removed" + yours;
            return kKeptIniStuck;
        }
        removeSweepFiles(iniPath);
        *message = found + (same       ? ": " + iniPath + " is the same, so the copy is removed"
                            : iniThere ? ", and the replay's is removed"
                                       : ", and there is none now: the mark is removed");
        return kKeptIniPutBack;
    }
    // Removed only once plugin.ini reads back as the copy: until then it is the only one.
    if (writeBytes(iniPath, bytes) != kWritten || !readBytes(iniPath, &check) || check != bytes) {
        *message = found + ", but cannot write " + iniPath + yours;
        return kKeptIniStuck;
    }
    removeSweepFiles(iniPath);
    *message = found + ": " + iniPath + " is put back from it, as it was before that sweep";
    return kKeptIniPutBack;
}

bool keepIni(const std::string& path, KeptIni* kept, std::string* error) {
    *kept = {path, keptIniPath(path), fileExists(path), std::string(), false};
    if (fileExists(kept->copyPath)) {
        *error = kept->copyPath + " exists: it may hold your settings, and the replay never writes over it";
        return false;
    }
    if (fileExists(absentIniPath(path))) {
        *error = absentIniPath(path) + " exists: it may be all that tells " + path +
                 " from a replay's, and the replay never writes over it";
        return false;
    }
    if (!canWriteLater(path)) {
        *error = "cannot write " + path + " (read-only?), where the replay must set the limits it plays: " +
                 "the replay did not run, and plugin.ini is unchanged";
        return false;
    }
    if (!kept->existed) {
        if (writeBytes(absentIniPath(path), std::string()) == kWritten)
            return true;
        std::remove(absentIniPath(path).c_str());
        *error = "cannot write " + absentIniPath(path) + " before the replay: the replay did not run";
        return false;
    }
    std::string check;
    if (!readBytes(path, &kept->bytes) || writeBytes(kept->copyPath, kept->bytes) != kWritten ||
        !readBytes(kept->copyPath, &check) || check != kept->bytes) {
        std::remove(kept->copyPath.c_str());
        *error = "cannot keep a copy of " + path + " in " + kept->copyPath +
                 " before the replay: the replay did not run, and plugin.ini is unchanged";
        return false;
    }
    return true;
}

bool writeReplayIni(KeptIni* kept, const std::string& text, std::string* error) {
    // Recorded before it is written: a sweep ended in between then leaves a record of a file that
    // is not there, which proves nothing of the one that is.
    if (!recordReplayBytes(kept->path, text)) {
        *error = "cannot write " + replayRecordPath(kept->path) + " before the replay";
        return false;
    }
    const WriteResult result = writeBytes(kept->path, text);
    kept->changed = kept->changed || result != kNotOpened;
    if (result == kWritten)
        return true;
    *error = "cannot write " + kept->path + " for the replay";
    return false;
}

void recordReplayIni(const KeptIni& kept) {
    std::string now;
    if (readBytes(kept.path, &now))
        recordReplayBytes(kept.path, now);
}

bool restoreIni(const KeptIni& kept, std::string* message) {
    message->clear();
    std::string now, check;
    const bool iniThere = fileExists(kept.path);
    if (kept.changed && iniThere && (!readBytes(kept.path, &now) || !replayWrote(kept.path, now))) {
        *message = keptBothText(kept.path, kept.existed, "during the replay");
        return true;
    }
    if (!kept.changed || !kept.existed) {
        if (kept.changed && iniThere && std::remove(kept.path.c_str()) != 0) {
            *message = "cannot remove the replay's " + kept.path + " (there was none before the sweep)";
            return false;
        }
        removeSweepFiles(kept.path);
        return true;
    }
    if (writeBytes(kept.path, kept.bytes) != kWritten || !readBytes(kept.path, &check) ||
        check != kept.bytes) {
        *message = "cannot put " + kept.path + " back as it was; it is in " + kept.copyPath;
        return false;
    }
    removeSweepFiles(kept.path);
    return true;
}

} // namespace sim
