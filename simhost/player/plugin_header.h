// A general-purpose plug-in's header as the player sees it: what the one export returns. Written
// from the player's side, so that the simulated player and the test hosts check the plug-in's
// own layout rather than share it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace sim {

struct PluginHeader {
    int32_t headerVersion;    // 0x10
    const char* description;  // shown in the player's plug-in list
    int (*startUp)();         // 0 on success
    void (*configure)();      // opens the plug-in's settings
    void (*shutDown)();       // stops the plug-in
    HWND hostWindow;          // the player's main window, set before startUp
    HINSTANCE moduleInstance; // the plug-in's module, set before startUp
};
static_assert(sizeof(PluginHeader) == 28, "seven 4-byte fields on 32-bit Windows");

// The name of the one function a general-purpose plug-in exports.
constexpr char kPluginEntryName[] = "winampGetGeneralPurposePlugin";

} // namespace sim
