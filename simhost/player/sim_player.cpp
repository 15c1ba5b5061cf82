// The simulated player's window. One small function per message it answers.
#include "player/sim_player.h"

namespace {

constexpr char kWindowClass[] = "SongbeaconSimulatedPlayer";

LRESULT answerTitle(sim::Player* player, WPARAM index) {
    player->titleQueries++;
    const auto entry = static_cast<int32_t>(index);
    if (player->answerNullTitle || entry < 0 || entry >= static_cast<int32_t>(player->titles.size()))
        return 0;
    return reinterpret_cast<LRESULT>(player->titles[static_cast<size_t>(entry)].c_str());
}

LRESULT answerQuery(sim::Player* player, WPARAM wParam, LPARAM which) {
    switch (which) {
    case sim::kQueryVersion:
        player->versionQueries++;
        return player->version;
    case sim::kQueryIsPlaying:
        player->playingQueries++;
        return player->state;
    case sim::kQueryPlaylistPosition:
        player->positionQueries++;
        return player->reportedPositionOverride != -1 ? player->reportedPositionOverride : player->position;
    case sim::kQueryPlaylistTitle:
        return answerTitle(player, wParam);
    default:
        player->otherMessages++;
        return 0;
    }
}

void obeyNextTrack(sim::Player* player) {
    player->nextTrackCommands++;
    player->skippedEntries.push_back(player->position);
    sim::moveToNextEntry(player);
}

LRESULT CALLBACK playerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* player = reinterpret_cast<sim::Player*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (player == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    if (message == sim::kUserMessage) {
        result = answerQuery(player, wParam, lParam);
    } else if (message == WM_COMMAND && LOWORD(wParam) == sim::kCommandNextTrack) {
        obeyNextTrack(player);
    } else {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (player->afterMessage != nullptr)
        player->afterMessage(player, message, wParam, lParam);
    return result;
}

bool registerPlayerClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = playerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

namespace sim {

void initPlayer(Player* player) {
    *player = Player();
    player->version = 0x5000;
    player->state = kStopped;
    player->reportedPositionOverride = -1;
}

bool createPlayerWindow(Player* player) {
    if (!registerPlayerClass())
        return false;
    // A hidden top-level window: it needs no display, and the plug-in's dialog can be owned by it.
    player->window = CreateWindowA(kWindowClass, "Simulated player", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (player->window == nullptr)
        return false;
    SetWindowLongPtrA(player->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(player));
    return true;
}

void destroyPlayerWindow(Player* player) {
    if (player->window != nullptr)
        DestroyWindow(player->window);
    player->window = nullptr;
}

bool moveToNextEntry(Player* player) {
    const auto size = static_cast<int32_t>(player->titles.size());
    if (player->order != nullptr) {
        if (advance(player->order, player->wrapAtEnd)) {
            player->position = currentEntry(*player->order);
            return true;
        }
    } else if (player->position + 1 < size) {
        player->position++;
        return true;
    } else if (player->wrapAtEnd && size > 0) {
        player->position = 0;
        return true;
    }
    player->state = kStopped;
    return false;
}

const char* currentTitle(const Player* player) {
    if (player->position < 0 || player->position >= static_cast<int32_t>(player->titles.size()))
        return nullptr;
    return player->titles[static_cast<size_t>(player->position)].c_str();
}

bool pumpUntil(bool (*done)(void* context), void* context, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done(context)) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        const DWORD wait = static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

void pumpFor(DWORD milliseconds) {
    pumpUntil([](void*) { return false; }, nullptr, milliseconds);
}

} // namespace sim
