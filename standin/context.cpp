#include "standin/context.h"

#include <new>

#include "standin/bytecode.h"

namespace standin {
namespace {

// calloc: pages of zeros cost nothing until a script writes to them.
double* zeroedMemory() {
    void* block = std::calloc(static_cast<size_t>(kMemorySize), sizeof(double));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<double*>(block);
}

}  // namespace

double* Context::memory() {
    if (!memory_) memory_.reset(zeroedMemory());
    return memory_.get();
}

double* sharedMemory() {
    // A throwing initialiser leaves it to be tried again on the next call.
    static double* const shared = zeroedMemory();
    return shared;
}

std::string Context::lowerCase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

double* Context::variable(std::string_view name) {
    std::string key = lowerCase(name);
    const auto found = byName_.find(key);
    if (found != byName_.end()) return found->second;
    double* value = &storage_.emplace_back(0.0);
    byName_.emplace(std::move(key), value);
    return value;
}

bool isIdentifier(std::string_view name) {
    if (name.empty()) return false;
    for (size_t k = 0; k < name.size(); ++k) {
        const char c = name[k];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && !(k > 0 && c >= '0' && c <= '9')) return false;
    }
    return true;
}

}  // namespace standin
