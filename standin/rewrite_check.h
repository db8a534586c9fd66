// Runs scripts twice, each way in a fresh context with the same starting
// values: compiled with the emitter's rewrites and run by the threaded
// interpreter (what the host runs), and compiled to plain stack code and run
// by the reference switch. Says where the two differ in any bit of any
// variable, of mem, of shared memory or of the random generator, or in a
// compile error's position and message. Shared by the tests and the fuzz
// target.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "standin/compiler.h"
#include "standin/evaluator.h"

namespace standin {

// Starting values for every context: ordinary ones, or the awkward ones
// (signed zeros, NaN, infinities, huge and tiny numbers).
enum class Start { Ordinary, Awkward };

inline const char* const kSeededNames[] = {"w", "h", "n", "i", "skip", "x1", "y1", "x2", "y2", "x3", "y3",
                                           "red1", "green1", "blue1", "z1", "t", "k", "a", "b", "v"};

inline double seededValue(Start start, size_t index) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    static const double kOrdinary[] = {64, 48, 100, 0.25, 0, -0.5, 0.75, 1.5, -2, 3.25, 0.125, 0.5, 0.9, 0.1, 7};
    static const double kAwkward[] = {-0.0, std::numeric_limits<double>::quiet_NaN(), kInf, -kInf, 1e308,
                                      4.9e-324, -1.0, 0.0, 2.5, -1e-300, 1048575.9, -3.5};
    if (start == Start::Ordinary) return kOrdinary[index % (sizeof kOrdinary / sizeof kOrdinary[0])];
    const double value = kAwkward[index % (sizeof kAwkward / sizeof kAwkward[0])];
    return index == 1 ? -value : value;  // a NaN with its sign bit flipped too
}

class RewriteCheck {
public:
    // texts: the sections of one script, compiled in one context and run in
    // order, rounds times over.
    static std::string compare(const std::vector<std::string>& texts, Start start, int rounds,
                               const MusicFrame* frame) {
        const bool shared = namesShared(texts);
        std::vector<double> sharedBefore;
        if (shared) sharedBefore.assign(sharedMemory(), sharedMemory() + kMemoryCount);
        Side fast(Rewrites::Apply);
        fast.run(texts, start, rounds, frame);
        std::vector<double> sharedAfterFast;
        if (shared) {
            sharedAfterFast.assign(sharedMemory(), sharedMemory() + kMemoryCount);
            std::memcpy(sharedMemory(), sharedBefore.data(), kMemoryCount * sizeof(double));
        }
        Side plain(Rewrites::None);
        plain.run(texts, start, rounds, frame);
        if (fast.error != plain.error) return "compile errors differ: " + fast.error + " | " + plain.error;
        const std::string difference = differences(fast.context, plain.context);
        if (!difference.empty()) return difference;
        if (shared &&
            std::memcmp(sharedAfterFast.data(), sharedMemory(), kMemoryCount * sizeof(double)) != 0)
            return "shared differs";
        return "";
    }

    // Where two contexts' variables, generators or mem differ; "" if nowhere.
    static std::string differences(Context& a, Context& b) {
        for (const auto& [name, value] : b.variables()) {
            const auto other = a.variables().find(name);
            if (other == a.variables().end()) return "variable " + name + " missing";
            if (!sameBits(*value, *other->second))
                return "variable " + name + ": " + std::to_string(*other->second) + " against " +
                       std::to_string(*value);
        }
        if (a.variables().size() != b.variables().size()) return "variable counts differ";
        if (*a.randomState() != *b.randomState()) return "random generators differ";
        const double* memoryA = a.memoryIfAllocated();
        const double* memoryB = b.memoryIfAllocated();
        if ((memoryA == nullptr) != (memoryB == nullptr)) return "mem allocated one way only";
        if (memoryA != nullptr && std::memcmp(memoryA, memoryB, kMemoryCount * sizeof(double)) != 0)
            return "mem differs";
        return "";
    }

private:
    static constexpr size_t kMemoryCount = static_cast<size_t>(kMemorySize);

    struct Side {
        explicit Side(Rewrites how) : rewrites(how) {}

        void run(const std::vector<std::string>& texts, Start start, int rounds, const MusicFrame* frame) {
            for (size_t k = 0; k < sizeof kSeededNames / sizeof kSeededNames[0]; ++k)
                *context.variable(kSeededNames[k]) = seededValue(start, k);
            std::vector<Program> programs;
            for (const std::string& text : texts) {
                try {
                    programs.push_back(compile(text.c_str(), context, rewrites));
                } catch (const CompileError& failure) {
                    error += std::to_string(failure.pos.line) + ":" + std::to_string(failure.pos.column) + " " +
                             failure.message + "; ";
                }
            }
            context.setFrame(frame);
            for (int round = 0; round < rounds; ++round) {
                for (Program& program : programs) {
                    if (rewrites == Rewrites::Apply) {
                        program.run();
                    } else {
                        executeReference(program.code.data(), program.stack.data());
                    }
                }
            }
            context.setFrame(nullptr);
        }

        Rewrites rewrites;
        Context context;
        std::string error;
    };

    static bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    static bool namesShared(const std::vector<std::string>& texts) {
        for (std::string text : texts) {
            for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            if (text.find("shared") != std::string::npos) return true;
        }
        return false;
    }
};

}  // namespace standin
