// The 23 variables through which the effect and its scripts exchange values,
// in registration order.
#pragma once

namespace effect {

struct ScriptVars {
    double* w;
    double* h;
    double* n;
    double* i;
    double* skip;
    double* x1;
    double* y1;
    double* red1;
    double* green1;
    double* blue1;
    double* x2;
    double* y2;
    double* red2;
    double* green2;
    double* blue2;
    double* x3;
    double* y3;
    double* red3;
    double* green3;
    double* blue3;
    double* z1;
    double* zbuf;
    double* zbclear;
};

struct ScriptVarSpec {
    const char* name;
    double* ScriptVars::*field;
    bool hasStartValue;
    double startValue;
};

constexpr int kScriptVarCount = 23;

// Registration order, names and starting values.
inline constexpr ScriptVarSpec kScriptVarSpecs[kScriptVarCount] = {
    {"w", &ScriptVars::w, false, 0.0},         {"h", &ScriptVars::h, false, 0.0},
    {"n", &ScriptVars::n, false, 0.0},         {"i", &ScriptVars::i, false, 0.0},
    {"skip", &ScriptVars::skip, false, 0.0},   {"x1", &ScriptVars::x1, false, 0.0},
    {"y1", &ScriptVars::y1, false, 0.0},       {"red1", &ScriptVars::red1, true, 1.0},
    {"green1", &ScriptVars::green1, true, 1.0}, {"blue1", &ScriptVars::blue1, true, 1.0},
    {"x2", &ScriptVars::x2, false, 0.0},       {"y2", &ScriptVars::y2, false, 0.0},
    {"red2", &ScriptVars::red2, true, 1.0},    {"green2", &ScriptVars::green2, true, 1.0},
    {"blue2", &ScriptVars::blue2, true, 1.0},  {"x3", &ScriptVars::x3, false, 0.0},
    {"y3", &ScriptVars::y3, false, 0.0},       {"red3", &ScriptVars::red3, true, 1.0},
    {"green3", &ScriptVars::green3, true, 1.0}, {"blue3", &ScriptVars::blue3, true, 1.0},
    {"z1", &ScriptVars::z1, true, 0.0},        {"zbuf", &ScriptVars::zbuf, true, 0.0},
    {"zbclear", &ScriptVars::zbclear, true, 0.0},
};

}  // namespace effect
