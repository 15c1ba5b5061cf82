// A DLL that asks the time of day as the plug-in does, through kernel32's GetSystemTimeAsFileTime,
// for the test of the simulated player's clock binding.
#include <windows.h>

extern "C" __declspec(dllexport) unsigned long long probeTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}
