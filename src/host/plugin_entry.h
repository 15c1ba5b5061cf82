// The plug-in's boundary with the host: the one export, the descriptor it returns, and the three
// callbacks through which the host starts, configures and stops the plug-in.
#pragma once

#include <windows.h>

#include <cstdint>

// Laid out as the host's general-purpose plug-in header (header version 0x10).
struct PluginDescriptor {
    int32_t headerVersion;
    const char* descriptionText;
    int (*startUp)();
    void (*configure)();
    void (*shutDown)();
    HWND hostWindow;          // filled in by the host before startUp
    HINSTANCE moduleInstance; // filled in by the host before startUp
};

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin();
