// The function table. Each entry wraps the C library (or a few lines of our
// own where the C library's choice is not pinned down, like min and max with
// NaN or signed zeros), so that results only depend on the operands.
#include "standin/functions.h"

#include <cmath>

namespace standin {
namespace {

double fSin(double x) { return std::sin(x); }
double fCos(double x) { return std::cos(x); }
double fTan(double x) { return std::tan(x); }
double fAsin(double x) { return std::asin(x); }
double fAcos(double x) { return std::acos(x); }
double fAtan(double x) { return std::atan(x); }
double fAtan2(double y, double x) { return std::atan2(y, x); }
double fSqrt(double x) { return std::sqrt(x); }
double fPow(double x, double y) { return std::pow(x, y); }
double fExp(double x) { return std::exp(x); }
double fLog(double x) { return std::log(x); }
double fLog10(double x) { return std::log10(x); }
double fAbs(double x) { return std::fabs(x); }
double fFloor(double x) { return std::floor(x); }
double fCeil(double x) { return std::ceil(x); }

// A NaN operand is ignored; between equal operands (0 and -0) the second wins.
double fMin(double a, double b) {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return a < b ? a : b;
}
double fMax(double a, double b) {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return a > b ? a : b;
}
double fClamp(double x, double lo, double hi) { return fMin(fMax(x, lo), hi); }
// 1 for positive, -1 for negative; 0, -0 and NaN come back unchanged.
double fSign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : x); }

constexpr FunctionKind P = FunctionKind::Pure;

const Function kFunctions[] = {
    {"sin", 1, P, fSin, nullptr, nullptr},
    {"cos", 1, P, fCos, nullptr, nullptr},
    {"tan", 1, P, fTan, nullptr, nullptr},
    {"asin", 1, P, fAsin, nullptr, nullptr},
    {"acos", 1, P, fAcos, nullptr, nullptr},
    {"atan", 1, P, fAtan, nullptr, nullptr},
    {"atan2", 2, P, nullptr, fAtan2, nullptr},
    {"sqrt", 1, P, fSqrt, nullptr, nullptr},
    {"pow", 2, P, nullptr, fPow, nullptr},
    {"exp", 1, P, fExp, nullptr, nullptr},
    {"log", 1, P, fLog, nullptr, nullptr},
    {"log10", 1, P, fLog10, nullptr, nullptr},
    {"abs", 1, P, fAbs, nullptr, nullptr},
    {"floor", 1, P, fFloor, nullptr, nullptr},
    {"ceil", 1, P, fCeil, nullptr, nullptr},
    {"min", 2, P, nullptr, fMin, nullptr},
    {"max", 2, P, nullptr, fMax, nullptr},
    {"sign", 1, P, fSign, nullptr, nullptr},
    {"clamp", 3, P, nullptr, nullptr, fClamp},
    {"if", 3, FunctionKind::If, nullptr, nullptr, nullptr},
    {"rand", 1, FunctionKind::Rand, nullptr, nullptr, nullptr},
};

}  // namespace

const Function* findFunction(std::string_view lowerName) {
    for (const Function& function : kFunctions) {
        if (lowerName == function.name) return &function;
    }
    return nullptr;
}

}  // namespace standin
