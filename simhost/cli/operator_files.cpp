// The operator's files through the C library alone, so that what guards them is tested natively.
// The copy of plugin.ini is the only place the operator's settings live while a replay runs: it
// is removed only once plugin.ini holds them again, and never written over.
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

std::string keptIniPath(const std::string& iniPath) {
    return iniPath + ".before-sweep";
}

std::string absentIniPath(const std::string& iniPath) {
    return iniPath + ".absent-before-sweep";
}

KeptIniFound putBackKeptIni(const std::string& iniPath, std::string* message) {
    const std::string copyPath = keptIniPath(iniPath);
    const std::string absentPath = absentIniPath(iniPath);
    std::string bytes, check;
    if (!fileExists(copyPath) && fileExists(absentPath)) {
        const std::string found = "found " + absentPath +
                                  ", left by a sweep that was ended during its replay: there was no " +
                                  iniPath;
        if (fileExists(iniPath) && std::remove(iniPath.c_str()) != 0) {
            *message = found + " before it, but the replay's cannot be removed: remove it yourself";
            return kKeptIniStuck;
        }
        std::remove(absentPath.c_str());
        *message = found + " before it, and the replay's is removed";
        return kKeptIniPutBack;
    }
    if (!fileExists(copyPath))
        return kNoKeptIni;
    const std::string found =
        "found " + copyPath + ", the operator's plugin.ini kept by a sweep that was ended during its replay";
    if (!readBytes(copyPath, &bytes)) {
        *message = found + ", but cannot read it: copy it over " + iniPath + " yourself";
        return kKeptIniStuck;
    }
    // Removed only once plugin.ini reads back as the copy: until then it is the only one.
    if (writeBytes(iniPath, bytes) != kWritten || !readBytes(iniPath, &check) || check != bytes) {
        *message = found + ", but cannot write " + iniPath + ": your settings are in " + copyPath +
                   "; copy it over plugin.ini yourself";
        return kKeptIniStuck;
    }
    std::remove(copyPath.c_str());
    *message = found + ": " + iniPath + " is put back from it, as it was before that sweep";
    return kKeptIniPutBack;
}

bool keepIni(const std::string& path, KeptIni* kept, std::string* error) {
    *kept = {path, keptIniPath(path), fileExists(path), std::string(), false};
    if (fileExists(kept->copyPath) || fileExists(absentIniPath(path))) {
        *error = kept->copyPath + " exists: it may hold your settings, and the replay never writes over it";
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
    const WriteResult result = writeBytes(kept->path, text);
    kept->changed = kept->changed || result != kNotOpened;
    if (result == kWritten)
        return true;
    *error = "cannot write " + kept->path + " for the replay";
    return false;
}

bool restoreIni(const KeptIni& kept, std::string* error) {
    if (!kept.changed) {
        std::remove(kept.copyPath.c_str());
        std::remove(absentIniPath(kept.path).c_str());
        return true;
    }
    if (!kept.existed) {
        if (std::remove(kept.path.c_str()) == 0 || !fileExists(kept.path)) {
            std::remove(absentIniPath(kept.path).c_str());
            return true;
        }
        *error = "cannot remove the replay's " + kept.path + " (there was none before the sweep)";
        return false;
    }
    std::string check;
    if (writeBytes(kept.path, kept.bytes) != kWritten || !readBytes(kept.path, &check) ||
        check != kept.bytes) {
        *error = "cannot put " + kept.path + " back as it was; it is in " + kept.copyPath;
        return false;
    }
    std::remove(kept.copyPath.c_str());
    return true;
}

} // namespace sim
