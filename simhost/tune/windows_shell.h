// What makes the tool behave as a Windows program started from the Start menu: the standard Open
// dialog, the default browser, a console window that stays until a key is pressed, and a priority
// that leaves the PC to the player and the stream's encoder.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

// The caption of the Open dialog that asks for the playlist.
constexpr char kOpenPlaylistCaption[] = "Songbeacon: choose the playlist to try";

// True when this process's console was made for it alone (started from the Start menu or
// Explorer) and can be read: the window closes as the program ends, so the end waits for a key.
// False in a command prompt, a script, or with input or output elsewhere. Ask before anything
// else attaches to the console.
bool consoleOfItsOwn();

// Shows `prompt` on the console and waits until a key is pressed there.
void waitForKey(const char* prompt);

// Runs this process below normal priority, and on all processors but one when there are more.
// Returns how many processors it may use, and how many there are.
void yieldToThePlayer(int32_t* used, int32_t* present);

// The file in which the Open dialog's folder is remembered, below %LOCALAPPDATA%: one line, the
// folder of the playlist last chosen there, in UTF-8.
constexpr wchar_t kRememberedFolderFile[] = L"last-playlist-folder.txt";

// %LOCALAPPDATA%, else the platform's local application-data folder; "" when there is neither.
std::wstring localAppData();

// Asks for a playlist (.m3u, .m3u8, .txt) or an air log (.log) with the standard Open dialog;
// false when cancelled. The dialog opens in the folder the last playlist chosen in it came from (remembered
// in %LOCALAPPDATA%\Songbeacon\kRememberedFolderFile), else in the user's Music folder (else Documents, else
// the profile), never in the folder the program was started in: from the Start menu that is its own, where
// the read-me would be offered as a playlist.
bool askForPlaylist(std::wstring* path);

// Opens `page` in the default browser; false when Windows cannot.
bool openInBrowser(const std::wstring& page);

} // namespace sim
