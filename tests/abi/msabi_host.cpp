// A test host built the way the real host is: Microsoft's C++ ABI (clang for
// *-pc-windows-msvc), no C or C++ runtime. It declares the effect interface as
// the host does, with a C++ virtual destructor first, calls every slot as an
// ordinary virtual call and ends with `delete`, which this ABI turns into a
// call of slot 0 with flags 1.
//
// Usage: msabi_host MODULE STANDIN_DLL OUTPUT_FRAME
#include "scenario.h"

#if defined(_M_IX86)
#define WINAPI __stdcall
#else
#define WINAPI
#endif

typedef unsigned long DWORD;
typedef void* HANDLE;

extern "C" {
__declspec(dllimport) void* WINAPI LoadLibraryA(const char* name);
__declspec(dllimport) void* WINAPI GetProcAddress(void* module, const char* name);
[[noreturn]] __declspec(dllimport) void WINAPI ExitProcess(unsigned code);
__declspec(dllimport) HANDLE WINAPI GetStdHandle(DWORD which);
__declspec(dllimport) int WINAPI WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void* overlapped);
__declspec(dllimport) HANDLE WINAPI CreateFileA(const char* name, DWORD access, DWORD share, void* security,
                                                DWORD disposition, DWORD flags, HANDLE templateFile);
__declspec(dllimport) int WINAPI CloseHandle(HANDLE handle);
__declspec(dllimport) char* WINAPI GetCommandLineA();
__declspec(dllimport) HANDLE WINAPI GetProcessHeap();
__declspec(dllimport) void* WINAPI HeapAlloc(HANDLE heap, DWORD flags, decltype(sizeof 0) size);
__declspec(dllimport) void* WINAPI AddVectoredExceptionHandler(unsigned long first, long(WINAPI* handler)(void*));
int _fltused = 0;
}

struct VisData;

// The host's view of an effect.
class Effect {
public:
    virtual ~Effect() {}
    virtual int renderFrame(VisData* visData, int isBeat, unsigned* frameBuffer, unsigned* altFrameBuffer, int width,
                            int height) = 0;
    virtual void* openEditor(void* moduleInstance, void* parentWindow) = 0;
    virtual const char* getDescription() = 0;
    virtual void loadConfig(const unsigned char* data, int length) = 0;
    virtual int saveConfig(unsigned char* buffer) = 0;
};

// The effect frees itself in slot 0; the host never frees effect memory.
void operator delete(void*) noexcept { ExitProcess(90); }
void operator delete(void*, decltype(sizeof 0)) noexcept { ExitProcess(91); }

typedef Effect*(__cdecl* Factory)(char* descriptionBuffer);
typedef int(__cdecl* RetrFunc)(void* hostHandle, const char** identifier, Factory* factory);
typedef void(__cdecl* SetExtInfo)(void* hostHandle, const void* services);
typedef const void*(__cdecl* StandinServices)();
typedef void(__cdecl* StandinSetBlend)(unsigned word);

namespace {

int length(const char* s) {
    int n = 0;
    while (s[n]) ++n;
    return n;
}

bool same(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

void print(const char* text) {
    DWORD written;
    WriteFile(GetStdHandle(static_cast<DWORD>(-11)), text, static_cast<DWORD>(length(text)), &written, nullptr);
}

// What the host is calling right now, so that a crash inside the module names
// the slot or export that went wrong.
const char* g_step = "loading";

long WINAPI reportCrash(void*) {
    print("FAIL: crashed while calling ");
    print(g_step);
    print("\n");
    ExitProcess(3);
}

[[noreturn]] void fail(const char* what) {
    print("FAIL: ");
    print(what);
    print("\n");
    ExitProcess(1);
}

// Splits the command line into arguments (quotes group, no escapes needed here).
int splitArguments(char* line, char** args, int maxArgs) {
    int count = 0;
    while (*line && count < maxArgs) {
        while (*line == ' ' || *line == '\t') ++line;
        if (!*line) break;
        const char end = *line == '"' ? '"' : ' ';
        if (end == '"') ++line;
        args[count++] = line;
        while (*line && *line != end && !(end == ' ' && *line == '\t')) ++line;
        if (*line) *line++ = '\0';
    }
    return count;
}

struct MsHost {
    using Effect = ::Effect*;
    Factory factory;
    StandinSetBlend setBlend;

    Effect create() {
        g_step = "the factory";
        return factory(nullptr);
    }
    void destroy(Effect effect) {
        g_step = "slot 0 (scalar deleting destructor)";
        delete effect;
    }
    void load(Effect effect, const unsigned char* data, int size) {
        g_step = "slot 4 loadConfig";
        effect->loadConfig(data, size);
    }
    int save(Effect effect, unsigned char* buffer) {
        g_step = "slot 5 saveConfig";
        return effect->saveConfig(buffer);
    }
    void render(Effect effect, int isBeat, unsigned* pixels, int width, int height) {
        g_step = "slot 1 renderFrame";
        if (effect->renderFrame(nullptr, isBeat, pixels, nullptr, width, height) != 0)
            fail("slot 1 renderFrame returned nonzero");
    }
    void setBlendWord(unsigned word) {
        g_step = "the stand-in host";
        setBlend(word);
    }
    void print(const char* text) { ::print(text); }
    void fail(const char* what) { ::fail(what); }
};

void writeFile(const char* path, const void* data, DWORD size) {
    HANDLE file = CreateFileA(path, 0x40000000 /* GENERIC_WRITE */, 0, nullptr, 2 /* CREATE_ALWAYS */, 0x80, nullptr);
    if (file == reinterpret_cast<HANDLE>(-1)) fail("cannot create the output frame file");
    DWORD written = 0;
    WriteFile(file, data, size, &written, nullptr);
    CloseHandle(file);
    if (written != size) fail("short write of the output frame file");
}

int run() {
    AddVectoredExceptionHandler(1, reportCrash);
    char* args[4];
    if (splitArguments(GetCommandLineA(), args, 4) != 4) fail("usage: msabi_host MODULE STANDIN_DLL OUTPUT_FRAME");

    void* module = LoadLibraryA(args[1]);
    if (!module) fail("LoadLibraryA could not load the module");
    void* standin = LoadLibraryA(args[2]);
    if (!standin) fail("LoadLibraryA could not load the stand-in host");

    auto retrFunc = reinterpret_cast<RetrFunc>(GetProcAddress(module, "_ZENTH_KIRO_RetrFunc"));
    auto setExtInfo = reinterpret_cast<SetExtInfo>(GetProcAddress(module, "_ZENTH_KIRO_SetExtInfo"));
    if (!retrFunc) fail("export _ZENTH_KIRO_RetrFunc not found");
    if (!setExtInfo) fail("export _ZENTH_KIRO_SetExtInfo not found");
    auto services = reinterpret_cast<StandinServices>(GetProcAddress(standin, "standin_services"));
    auto setBlend = reinterpret_cast<StandinSetBlend>(GetProcAddress(standin, "standin_set_blend_mode_word"));
    if (!services || !setBlend) fail("stand-in host exports not found");

    const char* identifier = nullptr;
    Factory factory = nullptr;
    g_step = "export _ZENTH_KIRO_RetrFunc";
    if (retrFunc(nullptr, &identifier, &factory) != 1) fail("export _ZENTH_KIRO_RetrFunc did not return 1");
    if (!identifier || !same(identifier, "Render: Triangle")) fail("export _ZENTH_KIRO_RetrFunc gave the wrong identifier");
    if (!factory) fail("export _ZENTH_KIRO_RetrFunc gave no factory");
    g_step = "export _ZENTH_KIRO_SetExtInfo";
    setExtInfo(nullptr, services());

    char description[32];
    for (char& c : description) c = 'x';
    g_step = "the factory (description buffer)";
    if (factory(description) != nullptr) fail("factory with a buffer returned an effect");
    if (!same(description, "Render / Triangle") || description[18] != 'x')
        fail("factory did not write exactly the 18-byte description");

    g_step = "the factory";
    Effect* probe = factory(nullptr);
    if (!probe) fail("factory returned no effect");
    g_step = "slot 3 getDescription";
    if (!same(probe->getDescription(), "Render / Triangle")) fail("slot 3 getDescription gave the wrong text");
    unsigned char block[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    g_step = "slot 5 saveConfig";
    if (probe->saveConfig(block) != 4 || block[0] || block[1] || block[2] || block[3] || block[4] != 1)
        fail("slot 5 saveConfig of a fresh effect did not write four NULs");
    g_step = "slot 0 (scalar deleting destructor)";
    delete probe;  // slot 0 with flags 1

    HANDLE heap = GetProcessHeap();
    auto* pixels = static_cast<unsigned*>(HeapAlloc(heap, 0, sizeof(unsigned) * abi_scenario::kWidth * abi_scenario::kHeight));
    auto* scratch = static_cast<unsigned char*>(HeapAlloc(heap, 0, 4096));
    if (!pixels || !scratch) fail("out of memory");

    MsHost host{factory, setBlend};
    abi_scenario::runScenario(host, pixels, scratch);
    writeFile(args[3], pixels, sizeof(unsigned) * abi_scenario::kWidth * abi_scenario::kHeight);
    print("msabi host: all slots and exports behaved\n");
    return 0;
}

}  // namespace

extern "C" void hostEntry() { ExitProcess(static_cast<unsigned>(run())); }
