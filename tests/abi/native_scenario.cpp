// The frame sequence rendered by the module's own build, calling it directly.
#include <cstdio>
#include <vector>

#include "effect/effect_base.h"
#include "module/exports.h"
#include "scenario.h"
#include "standin/standin_host.h"

namespace {

struct NativeHost {
    using Effect = effect::EffectBase*;
    bool failed = false;

    Effect create() { return module::createEffect(nullptr); }
    void destroy(Effect effect) { effect->destroy(effect::EffectBase::kFreeMemory); }
    void load(Effect effect, const unsigned char* data, int size) { effect->loadConfig(data, size); }
    int save(Effect effect, unsigned char* buffer) { return effect->saveConfig(buffer); }
    void render(Effect effect, int isBeat, unsigned* pixels, int width, int height) {
        effect->renderFrame(nullptr, isBeat, reinterpret_cast<uint32_t*>(pixels), nullptr, width, height);
    }
    void setBlendWord(unsigned word) { standin_set_blend_mode_word(word); }
    void print(const char* text) { std::fputs(text, stdout); }
    void fail(const char* what) {
        std::printf("FAIL: %s\n", what);
        failed = true;
    }
};

}  // namespace

int main() {
    _ZENTH_KIRO_SetExtInfo(nullptr, standin_services());
    std::vector<unsigned> pixels(abi_scenario::kWidth * abi_scenario::kHeight);
    std::vector<unsigned char> scratch(4096);
    NativeHost host;
    abi_scenario::runScenario(host, pixels.data(), scratch.data());
    return host.failed ? 1 : 0;
}
