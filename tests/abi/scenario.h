// One fixed sequence of frames that every build of the module must render to
// the same bytes: two effects sharing a frame buffer and the depth buffer,
// beats, every blend mode, recompilation. The scripts use only arithmetic, so
// the stand-in engine gives the same doubles on every platform.
//
// Plain data and plain functions only: the Microsoft-ABI test host that
// includes this has no C or C++ runtime.
#pragma once

namespace abi_scenario {

constexpr int kWidth = 97;  // odd sizes exercise the span tails
constexpr int kHeight = 61;
constexpr int kFrames = 24;
constexpr int kEffects = 2;
constexpr unsigned kBackground = 0x20406080u;

struct Preset {
    const char* init;
    const char* frame;
    const char* beat;
    const char* triangle;
};

// Effect A clears the shared depth buffer; effect B tests against what A left.
inline const Preset kPresets[kEffects] = {
    {"t = 0; spin = 0",
     "t = t + 1; n = 9 + t % 4; zbuf = t > 16; zbclear = 1",
     "spin = spin + 0.125",
     "x1 = i * 2 - 1 + spin * 0.1; y1 = -1.2 + (t % 5) * 0.1;\r\n"
     "x2 = x1 + 0.45; y2 = y1 + 1.3 - i * 0.4;\r\n"
     "x3 = x1 - 0.3 + t * 0.01; y3 = 1.1 - i * 0.5;\r\n"
     "red1 = i; green1 = 1 - i; blue1 = (t % 7) / 7; z1 = i * 3 + t * 0.01;\r\n"
     "skip = (t % 3 == 0) && (i > 0.8)"},
    {"k = 0",
     "k = k + 1; n = 5; zbuf = k > 16; zbclear = 0",
     "k = k + 2",
     "x1 = -1.5 + i * 3; y1 = -0.9;\r\n"
     "x2 = 1 - i * 1.5; y2 = 0.2 + (k % 3) * 0.3;\r\n"
     "x3 = i - 0.5; y3 = 1.4;\r\n"
     "red1 = 0.5; green1 = i * i; blue1 = 0.25 + k / 100; z1 = 1.5 + i"},
};

// The host's blend word for frame k: every mode, two mix ratios, and a mode
// the effect does not know (draws nothing).
inline unsigned blendWordForFrame(int k) {
    static const unsigned words[] = {0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x4007,
                                     0x0008, 0x0009, 0xC007, 0x000C, 0x00F3, 0x0001, 0x0003, 0x0007};
    return words[k % 16];
}

inline bool isBeatFrame(int k) { return k % 4 == 0; }

// 64-bit FNV-1a over the frame's bytes.
inline unsigned long long frameHash(const unsigned* pixels, int count) {
    unsigned long long hash = 14695981039346656037ull;
    for (int p = 0; p < count; ++p)
        for (int b = 0; b < 4; ++b) {
            hash ^= (pixels[p] >> (8 * b)) & 0xFFu;
            hash *= 1099511628211ull;
        }
    return hash;
}

// "frame NN 0123456789abcdef\n" into out (27 bytes + NUL).
inline void formatHashLine(int frame, unsigned long long hash, char* out) {
    const char digits[] = "0123456789abcdef";
    const char prefix[] = "frame ";
    int n = 0;
    for (int k = 0; prefix[k]; ++k) out[n++] = prefix[k];
    out[n++] = static_cast<char>('0' + frame / 10);
    out[n++] = static_cast<char>('0' + frame % 10);
    out[n++] = ' ';
    for (int shift = 60; shift >= 0; shift -= 4) out[n++] = digits[(hash >> shift) & 0xF];
    out[n++] = '\n';
    out[n] = '\0';
}


// After every effect is gone a new one must find a fresh, cleared depth
// buffer: a triangle at depth 0 then covers all it touches.
inline const Preset kLateEffect = {"", "n = 1; zbuf = 1; zbclear = 0", "",
                                   "x1 = -1; y1 = -1; x2 = 3; y2 = -1; x3 = -1; y3 = 3; "
                                   "red1 = 1; green1 = 0.5; blue1 = 0; z1 = 0"};
constexpr unsigned kLateColour = 0x00FF8000u;

// A preset block: the four sections, each with its NUL. Returns the length.
inline int makeBlock(const Preset& preset, unsigned char* out) {
    int n = 0;
    const char* texts[4] = {preset.init, preset.frame, preset.beat, preset.triangle};
    for (const char* text : texts) {
        do out[n++] = static_cast<unsigned char>(*text); while (*text++ != '\0');
    }
    return n;
}

// The whole sequence, against any way of reaching the module. Host provides:
//   Effect create(); void destroy(Effect);
//   void load(Effect, const unsigned char*, int); int save(Effect, unsigned char*);
//   void render(Effect, int isBeat, unsigned* pixels, int width, int height);
//   void setBlendWord(unsigned); void print(const char*); void fail(const char*).
// pixels holds kWidth * kHeight words; scratch at least 4096 bytes.
template <typename Host>
void runScenario(Host& host, unsigned* pixels, unsigned char* scratch) {
    const int count = kWidth * kHeight;
    for (int p = 0; p < count; ++p) pixels[p] = kBackground;
    char line[32];

    typename Host::Effect effects[kEffects];
    for (int e = 0; e < kEffects; ++e) {
        effects[e] = host.create();
        if (!effects[e]) return host.fail("factory returned no effect");
        const int length = makeBlock(kPresets[e], scratch);
        host.load(effects[e], scratch, length);
    }
    for (int frame = 0; frame < kFrames; ++frame) {
        host.setBlendWord(blendWordForFrame(frame));
        for (int e = 0; e < kEffects; ++e) host.render(effects[e], isBeatFrame(frame) ? 1 : 0, pixels, kWidth, kHeight);
        formatHashLine(frame, frameHash(pixels, count), line);
        host.print(line);
    }

    const int expectedLength = makeBlock(kPresets[0], scratch + 2048);
    if (host.save(effects[0], scratch) != expectedLength) return host.fail("saveConfig returned the wrong length");
    for (int k = 0; k < expectedLength; ++k)
        if (scratch[k] != scratch[2048 + k]) return host.fail("saveConfig wrote a different block");

    for (int e = 0; e < kEffects; ++e) host.destroy(effects[e]);

    typename Host::Effect late = host.create();
    if (!late) return host.fail("factory returned no effect");
    host.load(late, scratch, makeBlock(kLateEffect, scratch));
    host.render(late, 0, pixels, kWidth, kHeight);
    for (int y = 1; y < kHeight; ++y)
        for (int x = 0; x < kWidth - 1; ++x)
            if (pixels[y * kWidth + x] != kLateColour)
                return host.fail("depth buffer survived its last effect: a depth-0 triangle was hidden");
    formatHashLine(kFrames, frameHash(pixels, count), line);
    host.print(line);
    host.destroy(late);
}

}  // namespace abi_scenario
