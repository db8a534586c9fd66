// The function table. Each entry wraps the C library (or a few lines of our
// own where the C library's choice is not pinned down, like min and max with
// NaN or signed zeros), so that results only depend on the operands.
#include "standin/functions.h"

#include <cmath>

#include "standin/noise.h"

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

double fSqr(double x) { return x * x; }
double fHypot(double x, double y) { return std::hypot(x, y); }
// trunc and round in floor and ceil, which every C library has: the sign of
// zero is kept (round(-0.2) is -0).
double fTrunc(double x) { return x < 0.0 ? std::ceil(x) : std::floor(x); }
double fRound(double x) {
    const double whole = fTrunc(x);
    const double rest = x - whole;  // exact
    if (rest >= 0.5) return whole + 1.0;
    if (rest <= -0.5) return whole - 1.0;
    return whole;
}
double fFract(double x) { return x - std::floor(x); }
// Floored: the result has the sign of y.
double fMod(double x, double y) {
    const double r = std::fmod(x, y);
    return (r != 0.0 && ((r < 0.0) != (y < 0.0))) ? r + y : r;
}
double fLerp(double a, double b, double t) { return a + (b - a) * t; }
double fStep(double edge, double x) { return x < edge ? 0.0 : 1.0; }
double fSmoothstep(double e0, double e1, double x) {
    if (e0 == e1) return fStep(e0, x);
    const double t = fClamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}
double fSinh(double x) { return std::sinh(x); }
double fCosh(double x) { return std::cosh(x); }
double fTanh(double x) { return std::tanh(x); }
double fLog2(double x) { return std::log2(x); }
double fExp2(double x) { return std::exp2(x); }

constexpr FunctionKind P = FunctionKind::Pure;
constexpr FunctionKind M = FunctionKind::Music;

const Function kFunctions[] = {
    {"sin", 1, 1, P, fSin, nullptr, nullptr, {}},
    {"cos", 1, 1, P, fCos, nullptr, nullptr, {}},
    {"tan", 1, 1, P, fTan, nullptr, nullptr, {}},
    {"asin", 1, 1, P, fAsin, nullptr, nullptr, {}},
    {"acos", 1, 1, P, fAcos, nullptr, nullptr, {}},
    {"atan", 1, 1, P, fAtan, nullptr, nullptr, {}},
    {"atan2", 2, 2, P, nullptr, fAtan2, nullptr, {}},
    {"sqrt", 1, 1, P, fSqrt, nullptr, nullptr, {}},
    {"pow", 2, 2, P, nullptr, fPow, nullptr, {}},
    {"exp", 1, 1, P, fExp, nullptr, nullptr, {}},
    {"log", 1, 1, P, fLog, nullptr, nullptr, {}},
    {"log10", 1, 1, P, fLog10, nullptr, nullptr, {}},
    {"abs", 1, 1, P, fAbs, nullptr, nullptr, {}},
    {"floor", 1, 1, P, fFloor, nullptr, nullptr, {}},
    {"ceil", 1, 1, P, fCeil, nullptr, nullptr, {}},
    {"min", 2, 2, P, nullptr, fMin, nullptr, {}},
    {"max", 2, 2, P, nullptr, fMax, nullptr, {}},
    {"sign", 1, 1, P, fSign, nullptr, nullptr, {}},
    {"clamp", 3, 3, P, nullptr, nullptr, fClamp, {}},
    {"if", 3, 3, FunctionKind::If, nullptr, nullptr, nullptr, {}},
    {"rand", 1, 1, FunctionKind::Rand, nullptr, nullptr, nullptr, {}},
    {"sqr", 1, 1, P, fSqr, nullptr, nullptr, {}},
    {"hypot", 2, 2, P, nullptr, fHypot, nullptr, {}},
    {"round", 1, 1, P, fRound, nullptr, nullptr, {}},
    {"trunc", 1, 1, P, fTrunc, nullptr, nullptr, {}},
    {"fract", 1, 1, P, fFract, nullptr, nullptr, {}},
    {"mod", 2, 2, P, nullptr, fMod, nullptr, {}},
    {"lerp", 3, 3, P, nullptr, nullptr, fLerp, {}},
    {"smoothstep", 3, 3, P, nullptr, nullptr, fSmoothstep, {}},
    {"step", 2, 2, P, nullptr, fStep, nullptr, {}},
    {"sinh", 1, 1, P, fSinh, nullptr, nullptr, {}},
    {"cosh", 1, 1, P, fCosh, nullptr, nullptr, {}},
    {"tanh", 1, 1, P, fTanh, nullptr, nullptr, {}},
    {"log2", 1, 1, P, fLog2, nullptr, nullptr, {}},
    {"exp2", 1, 1, P, fExp2, nullptr, nullptr, {}},
    {"noise", 1, 2, P, noise1, noise2, nullptr, {}},
    {"srand", 1, 1, FunctionKind::Srand, nullptr, nullptr, nullptr, {}},
    {"repeat", 2, 2, FunctionKind::Repeat, nullptr, nullptr, nullptr, {}},
    {"while", 2, 2, FunctionKind::While, nullptr, nullptr, nullptr, {}},
    {"wave", 1, 2, M, nullptr, nullptr, nullptr, MusicItem::Wave},
    {"spectrum", 1, 2, M, nullptr, nullptr, nullptr, MusicItem::Spectrum},
    {"bass", 0, 0, M, nullptr, nullptr, nullptr, MusicItem::Bass},
    {"mid", 0, 0, M, nullptr, nullptr, nullptr, MusicItem::Mid},
    {"treble", 0, 0, M, nullptr, nullptr, nullptr, MusicItem::Treble},
    {"time", 0, 0, M, nullptr, nullptr, nullptr, MusicItem::Time},
    {"frame_index", 0, 0, M, nullptr, nullptr, nullptr, MusicItem::FrameIndex},
    {"tempo", 0, 0, M, nullptr, nullptr, nullptr, MusicItem::Tempo},
};

}  // namespace

const Function* findFunction(std::string_view lowerName) {
    for (const Function& function : kFunctions) {
        if (lowerName == function.name) return &function;
    }
    return nullptr;
}

}  // namespace standin
