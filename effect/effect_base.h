// The host's abstract effect interface. The host was built with Microsoft's
// compiler and calls through a vtable of exactly six slots:
//   0 scalar deleting destructor (flags word, bit 0 frees the memory)
//   1 renderFrame  2 openEditor  3 getDescription  4 loadConfig  5 saveConfig
// GCC would emit two destructor entries for a C++ virtual destructor, so slot 0
// is an ordinary virtual function and the real destructor is protected and
// non-virtual. On 32-bit Windows every slot is __thiscall.
#pragma once

#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define EFFECT_CALL __thiscall
#else
#define EFFECT_CALL
#endif

namespace host {
struct VisData;
}  // namespace host
namespace effect {

using WindowHandle = void*;
using ModuleHandle = void*;

class EffectBase {
public:
    enum : uint32_t { kFreeMemory = 1 };

    // Slot 0: destroys the object; frees its memory when bit 0 of flags is set.
    virtual EffectBase* EFFECT_CALL destroy(uint32_t flags) = 0;
    // Slot 1.
    virtual int32_t EFFECT_CALL renderFrame(host::VisData* visData, int32_t isBeat, uint32_t* frameBuffer,
                                            uint32_t* altFrameBuffer, int32_t width, int32_t height) = 0;
    // Slot 2.
    virtual WindowHandle EFFECT_CALL openEditor(ModuleHandle moduleInstance, WindowHandle parentWindow);
    // Slot 3.
    virtual const char* EFFECT_CALL getDescription() = 0;
    // Slot 4.
    virtual void EFFECT_CALL loadConfig(const unsigned char* data, int32_t length);
    // Slot 5.
    virtual int32_t EFFECT_CALL saveConfig(unsigned char* buffer);

protected:
    EffectBase() = default;
    ~EffectBase() = default;
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;
};

}  // namespace effect
