// A script context's state: its variables, each a double at a stable address
// looked up by lower-case name, its random generator, its memory (mem) and
// the music block of the frame being run.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "standin/music_frame.h"

namespace standin {

// The generator's state at the start of every context, so that renders repeat.
constexpr uint64_t kRandomSeed = 0x5EED5EED5EED5EEDull;

class Context {
public:
    // The variable of that name (compared without regard to case), created at
    // 0.0 on first use. The address stays valid for the life of the Context.
    double* variable(std::string_view name);

    // Every variable by lower-case name.
    const std::unordered_map<std::string, double*>& variables() const { return byName_; }

    uint64_t* randomState() { return &randomState_; }

    // This context's mem: kMemorySize doubles at 0, allocated on the first
    // call (throws std::bad_alloc), kept for the life of the Context.
    double* memory();
    // This context's mem, or null while nothing has used it.
    const double* memoryIfAllocated() const { return memory_.get(); }

    // The music block scripts read while a code of this context runs.
    const MusicFrame* const* frameSlot() const { return &frame_; }
    void setFrame(const MusicFrame* frame) { frame_ = frame; }

    static std::string lowerCase(std::string_view name);

private:
    std::deque<double> storage_;  // a deque never moves its elements
    std::unordered_map<std::string, double*> byName_;
    uint64_t randomState_ = kRandomSeed;
    std::unique_ptr<double, decltype(&std::free)> memory_{nullptr, &std::free};
    const MusicFrame* frame_ = nullptr;
};

// The process's shared memory, one for all contexts: kMemorySize doubles at
// 0, allocated on the first call (throws std::bad_alloc), never freed.
double* sharedMemory();

// True for [A-Za-z_][A-Za-z0-9_]*.
bool isIdentifier(std::string_view name);

}  // namespace standin
