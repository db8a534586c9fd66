#include "panel_fixture.h"

using effect::EffectBase;

namespace {

const char kParentClass[] = "RenderTrianglePanelTestParent";

void registerParentClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kParentClass;
    registered = RegisterClassA(&windowClass) != 0;
}

}  // namespace

void PanelTest::SetUp() {
    ASSERT_NE(loadedModule().handle, nullptr);
    loadedModule().setExtInfo(nullptr, host.table());
    registerParentClass();
    parent = CreateWindowExA(0, kParentClass, "host editor", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
}

void PanelTest::TearDown() {
    // The host destroys a panel before the effect it edits.
    for (HWND panel : panels_) {
        if (IsWindow(panel)) DestroyWindow(panel);
    }
    DestroyWindow(parent);
    effects_.clear();
}

EffectBase& PanelTest::newEffect() {
    effects_.push_back(createEffect());
    EffectBase* effect = effects_.back().get();
    if (effect == nullptr) ADD_FAILURE() << "the factory gave no effect";
    return *effect;
}

HWND PanelTest::openPanel(EffectBase& effect) {
    const HWND panel = static_cast<HWND>(effect.openEditor(loadedModule().handle, parent));
    EXPECT_NE(panel, nullptr) << "openEditor gave no panel";
    panels_.push_back(panel);
    return panel;
}

void PanelTest::load(EffectBase& effect, const Sections& sections) {
    std::string block;
    for (const std::string& section : sections) block += section + '\0';
    effect.loadConfig(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int32_t>(block.size()));
}

Sections PanelTest::sections(EffectBase& effect) {
    std::vector<unsigned char> buffer(1 << 16);
    const int32_t length = effect.saveConfig(buffer.data());
    Sections out;
    size_t at = 0;
    for (std::string& section : out) {
        const char* text = reinterpret_cast<const char*>(buffer.data()) + at;
        section = text;
        at += section.size() + 1;
    }
    EXPECT_EQ(static_cast<size_t>(length), at) << "the block holds the four sections and their NULs";
    return out;
}

std::vector<std::string> PanelTest::render(EffectBase& effect, int frames) {
    host.clearCompiled();
    uint32_t pixels[8 * 8] = {};
    for (int k = 0; k < frames; ++k) effect.renderFrame(nullptr, 0, pixels, pixels, 8, 8);
    return host.compiled;
}

HWND control(HWND panel, int id) { return GetDlgItem(panel, id); }

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

void pasteOver(HWND edit, const char* text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

void typeKeys(HWND edit, const char* keys) {
    for (const char* key = keys; *key != '\0'; ++key) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*key), 1);
}

void notify(HWND panel, int id, WORD code) {
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(panel, id)));
}

RECT placementOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool hasVisibleStyle(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }
