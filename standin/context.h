// A script context's state: its variables, each a double at a stable address
// looked up by lower-case name, and its random generator.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace standin {

// The generator's state at the start of every context, so that renders repeat.
constexpr uint64_t kRandomSeed = 0x5EED5EED5EED5EEDull;

class Context {
public:
    // The variable of that name (compared without regard to case), created at
    // 0.0 on first use. The address stays valid for the life of the Context.
    double* variable(std::string_view name);

    uint64_t* randomState() { return &randomState_; }

    static std::string lowerCase(std::string_view name);

private:
    std::deque<double> storage_;  // a deque never moves its elements
    std::unordered_map<std::string, double*> byName_;
    uint64_t randomState_ = kRandomSeed;
};

// True for [A-Za-z_][A-Za-z0-9_]*.
bool isIdentifier(std::string_view name);

}  // namespace standin
