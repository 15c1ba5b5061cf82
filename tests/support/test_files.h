// Files and folders for the Windows tests: each test works in a fresh folder of its own in the
// temporary folder, and reads back what the plug-in wrote there.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace support {

constexpr DWORD kDeadlineMs = 60000; // generous: the machine is shared and may be loaded

// The whole file, or "<missing>" when it cannot be read.
std::string readFile(const std::string& path);
// Replaces the file with `bytes`, written as they are.
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// The file `name` beside this program when there is one (a test pack copied to Windows), else
// `built`, the one the build made.
std::string besideThisProgramElse(const char* name, const std::string& built);
// Names of the files (not folders) directly in `folder`.
std::vector<std::string> listFiles(const std::string& folder);
// Names of the folders directly in `folder`.
std::vector<std::string> listFolders(const std::string& folder);
// Deletes every file in `folder` (read-only ones too), then the folder.
void removeFolder(const std::string& folder);
// A new, empty folder in the temporary folder, named after the running test and kept short, so
// that a file name near the 259-character limit still fits in it. Whatever an earlier, killed run
// left there is removed first: Wine reuses process ids.
std::string makeTestFolder();

// Key `key` of section "Songbeacon" in the settings file `iniPath`: "<missing>" / -12345 when absent.
std::string iniText(const std::string& iniPath, const char* key);
int iniInteger(const std::string& iniPath, const char* key);

// Polls `ready` every millisecond or so until it holds; false when `timeoutMs` passes first.
bool waitFor(const std::function<bool()>& ready, DWORD timeoutMs = kDeadlineMs);

} // namespace support
