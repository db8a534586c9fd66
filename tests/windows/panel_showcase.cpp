// Shows the editor panel in a host-like window, filled from a preset in the
// examples' text form, for a while; for the documentation screenshot.
// Prints "panel X Y WIDTH HEIGHT" (screen pixels) once the panel is shown.
// Usage: panel_showcase MODULE.dll PRESET.preset SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "loaded_module.h"
#include "recording_host.h"

namespace {

// The examples keep each section under an "[init]", "[frame]", "[beat]" or
// "[triangle]" line; the block wants them in that order, lines ending CR LF.
std::string presetBlock(const char* path) {
    const char* names[] = {"[init]", "[frame]", "[beat]", "[triangle]"};
    std::string sections[4];
    int current = -1;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        bool header = false;
        for (int s = 0; s < 4; ++s) {
            if (line == names[s]) {
                current = s;
                header = true;
            }
        }
        if (!header && current >= 0) sections[current] += line + "\r\n";
    }
    std::string block;
    for (std::string& text : sections) {
        while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
        block += text + '\0';
    }
    return block;
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        // The host fits the panel to its editing area.
        if (HWND panel = GetWindow(window, GW_CHILD)) MoveWindow(panel, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    if (message == WM_TIMER || message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s MODULE.dll PRESET.preset SECONDS\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!loadModule(argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    RecordingHost host;
    loadedModule().setExtInfo(nullptr, host.table());
    EffectPtr effect = createEffect();
    const std::string block = presetBlock(argv[2]);
    effect->loadConfig(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int32_t>(block.size()));

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "PanelShowcaseHost";
    RegisterClassA(&windowClass);
    const HWND hostWindow = CreateWindowExA(0, windowClass.lpszClassName, "Render / Triangle",
                                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 560, 480,
                                            nullptr, nullptr, windowClass.hInstance, nullptr);
    const HWND panel = static_cast<HWND>(effect->openEditor(loadedModule().handle, hostWindow));
    if (panel == nullptr) {
        std::fprintf(stderr, "openEditor gave no panel\n");
        return 1;
    }
    RECT client = {};
    GetClientRect(hostWindow, &client);
    MoveWindow(panel, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(panel, SW_SHOW);
    ShowWindow(hostWindow, SW_SHOW);
    UpdateWindow(hostWindow);

    RECT shown = {};
    GetWindowRect(panel, &shown);
    std::printf("panel %ld %ld %ld %ld\n", shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top);
    std::fflush(stdout);

    SetTimer(hostWindow, 1, static_cast<UINT>(std::atoi(argv[3]) * 1000), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(panel, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(panel);
    DestroyWindow(hostWindow);
    return 0;
}
