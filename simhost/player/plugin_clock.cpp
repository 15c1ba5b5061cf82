// Binding the plug-in's clock: its import address table is rewritten in one slot, found by name
// through the import's names (the original first thunk), so that the DLL itself is never changed.
// The station time is one 64-bit value, written and read whole with interlocked operations, since
// the plug-in's threads read it while the player's thread sets it.
#include "player/plugin_clock.h"

#include <cstring>

namespace {

constexpr LONGLONG kRealTime = INT64_MIN;                 // no station clock: the plug-in reads the real time
constexpr int64_t kFileTimeOf1970 = 116444736000000000LL; // 100 ns steps from 1601 to 1970
volatile LONGLONG stationMs = kRealTime;

void WINAPI playerSystemTime(LPFILETIME time) {
    const LONGLONG ms = InterlockedCompareExchange64(&stationMs, 0, 0);
    if (ms == kRealTime) {
        GetSystemTimeAsFileTime(time);
        return;
    }
    const auto ticks = static_cast<ULONGLONG>(ms * 10000 + kFileTimeOf1970);
    time->dwLowDateTime = static_cast<DWORD>(ticks);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

// The import address slot of `name` imported from `dll` by `module`, or null.
ULONG_PTR* importSlot(HMODULE module, const char* dll, const char* name) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         import->Name != 0; import++) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0 ||
            import->OriginalFirstThunk == 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

} // namespace

namespace sim {

bool bindPluginClock(HMODULE module) {
    ULONG_PTR* slot = importSlot(module, "KERNEL32.dll", "GetSystemTimeAsFileTime");
    DWORD was = 0;
    if (slot == nullptr || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was))
        return false;
    *slot = reinterpret_cast<ULONG_PTR>(&playerSystemTime);
    VirtualProtect(slot, sizeof *slot, was, &was);
    return true;
}

void setStationClock(int64_t utcMs) {
    InterlockedExchange64(&stationMs, utcMs);
}

void releaseStationClock() {
    InterlockedExchange64(&stationMs, kRealTime);
}

int64_t realSecondsNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kFileTimeOf1970) / 10000000 * 1000;
}

} // namespace sim
