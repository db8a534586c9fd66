// Texts that must not compile: the diagnostic's position and message, the
// nesting limit, and texts built to break or hang a compiler.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/standin/script_harness.h"

namespace {

using standin_test::repeat;
using standin_test::ScriptHarness;

struct ErrorCase {
    std::string text;
    int32_t line;
    int32_t column;
    const char* message;  // contained in the diagnostic's message
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.text.substr(0, 60); }

class StandinErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(StandinErrorTest, CompilesToNullWithPinnedDiagnostic) {
    const ErrorCase& expected = GetParam();
    ScriptHarness script;
    EXPECT_EQ(script.compile(expected.text), nullptr);
    StandinDiagnostic diagnostic = {};
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_EQ(diagnostic.line, expected.line);
    EXPECT_EQ(diagnostic.column, expected.column);
    EXPECT_NE(std::string(diagnostic.message).find(expected.message), std::string::npos) << diagnostic.message;

    // The checking entry point agrees and keeps nothing.
    StandinDiagnostic checked = {};
    EXPECT_EQ(standin_check_script(expected.text.c_str(), &checked), 0);
    EXPECT_EQ(checked.line, diagnostic.line);
    EXPECT_EQ(checked.column, diagnostic.column);
    EXPECT_STREQ(checked.message, diagnostic.message);
}

const ErrorCase kSyntaxErrors[] = {
    {"1 +", 1, 4, "expected an expression, found end of text"},
    {"x = 1;\ny = 2 *", 2, 8, "expected an expression"},
    {"a = 1 2", 1, 7, "expected ';', found number"},
    {"a b", 1, 3, "expected ';', found 'b'"},
    {"3 = x", 1, 3, "left side of '=' must be a variable"},
    {"a + 1 += 2", 1, 7, "left side of '+=' must be a variable"},
    {"(a) = 1", 1, 5, "must be a variable"},
    {"-a = 1", 1, 4, "must be a variable"},
    {"pi = 3", 1, 4, "must be a variable"},
    {"(1 + 2", 1, 7, "expected ')' for '(' at 1:1, found end of text"},
    {"((1)", 1, 5, "expected ')'"},
    {"1 + 2)", 1, 6, "unmatched ')'"},
    {"()", 1, 2, "expected an expression, found ')'"},
    {"(;)", 1, 3, "expected an expression"},
    {"1 ? 2", 1, 6, "expected ':', found end of text"},
    {"1 ? 2 ; 3", 1, 7, "expected ':'"},
    {"a = ,", 1, 5, "expected an expression, found ','"},
    {"* 2", 1, 1, "expected an expression, found '*'"},
};
INSTANTIATE_TEST_SUITE_P(Syntax, StandinErrorTest, testing::ValuesIn(kSyntaxErrors));

const ErrorCase kCallErrors[] = {
    {"foo(1)", 1, 1, "unknown function 'foo'"},
    {"a = 1;\n  b = Foo(1)", 2, 7, "unknown function 'Foo'"},
    {"x = sine(1)", 1, 5, "unknown function 'sine'"},
    {"x = pi(1)", 1, 5, "unknown function 'pi'"},
    {"x = mem(1)", 1, 5, "unknown function 'mem'"},
    {"sin()", 1, 1, "'sin' takes 1 argument, got 0"},
    {"sin(1, 2)", 1, 1, "'sin' takes 1 argument, got 2"},
    {"x = atan2(1)", 1, 5, "'atan2' takes 2 arguments, got 1"},
    {"clamp(1, 2)", 1, 1, "'clamp' takes 3 arguments, got 2"},
    {"if(1, 2)", 1, 1, "'if' takes 3 arguments, got 2"},
    {"IF(1, 2, 3, 4)", 1, 1, "'IF' takes 3 arguments, got 4"},
    {"rand()", 1, 1, "'rand' takes 1 argument, got 0"},
    {"min(1 2)", 1, 7, "expected ',' or ')', found number"},
    {"min(1,)", 1, 7, "expected an expression, found ')'"},
    {"max(1, 2", 1, 9, "expected ',' or ')', found end of text"},
    {"x = hypot(1)", 1, 5, "'hypot' takes 2 arguments, got 1"},
    {"lerp(1, 2)", 1, 1, "'lerp' takes 3 arguments, got 2"},
    {"noise()", 1, 1, "'noise' takes 1 or 2 arguments, got 0"},
    {"noise(1, 2, 3)", 1, 1, "'noise' takes 1 or 2 arguments, got 3"},
    {"a = 1;\n  b = bass(1)", 2, 7, "'bass' takes no arguments, got 1"},
    {"wave()", 1, 1, "'wave' takes 1 or 2 arguments, got 0"},
    {"spectrum(1, 2, 3)", 1, 1, "'spectrum' takes 1 or 2 arguments, got 3"},
    {"srand()", 1, 1, "'srand' takes 1 argument, got 0"},
    {"repeat(3)", 1, 1, "'repeat' takes 2 arguments, got 1"},
    {"x = while(1, 2, 3)", 1, 5, "'while' takes 2 arguments, got 3"},
    {"repeat(3, x = 1; y = 2)", 1, 16, "expected ',' or ')', found ';'"},
    {"while(x < 3 x += 1)", 1, 13, "expected ',' or ')', found 'x'"},
};
INSTANTIATE_TEST_SUITE_P(Calls, StandinErrorTest, testing::ValuesIn(kCallErrors));

const ErrorCase kMemoryErrors[] = {
    {"x = mem[1", 1, 10, "expected ']' for '[' at 1:8, found end of text"},
    {"x = 1;\n mem[2 3", 2, 8, "expected ']' for '[' at 2:5, found number"},
    {"mem[2 = 3]", 1, 7, "left side of '=' must be a variable"},
    {"shared[1)", 1, 9, "expected ']' for '[' at 1:7, found ')'"},
    {"mem[] = 1", 1, 5, "expected an index, found ']'"},
    {"mem[1] + 1 = 2", 1, 12, "left side of '=' must be a variable"},
    {"(mem[1]) = 2", 1, 10, "must be a variable"},
    {"x = a[1]", 1, 6, "expected ';', found '['"},
    {"x = 1]", 1, 6, "unmatched ']'"},
    {"mem[1] 2", 1, 8, "expected ';', found number"},
    {repeat("mem[", 257) + "1" + repeat("]", 257), 1, 4 * 256 + 4, "nesting deeper than 256"},
};
INSTANTIATE_TEST_SUITE_P(Memory, StandinErrorTest, testing::ValuesIn(kMemoryErrors));

const ErrorCase kLexicalErrors[] = {
    {"x = 1 @ 2", 1, 7, "unexpected character '@'"},
    {"x = a & b", 1, 7, "unexpected character '&' (did you mean '&&'?)"},
    {"x = a | b", 1, 7, "'|'"},
    {"x = \xC3\xA9", 1, 5, "unexpected byte 0xC3"},
    {"x = 1;\r\n\x01", 2, 1, "unexpected byte 0x01"},
    {"x = 1;\ry = #", 2, 5, "unexpected character '#'"},
    {"x = 1;\r\n\r\n\ty = $", 3, 6, "'$'"},
    {"/* a\n b */ x = a.b", 2, 12, "unexpected character '.'"},
    {"x = 1 /* never closed\n\n", 1, 7, "unterminated comment"},
    {"x = 1.2.3", 1, 5, "malformed number"},
    {"x = 2.x", 1, 5, "malformed number"},
    {"x = 1e", 1, 5, "malformed number"},
    {"x = 1e+", 1, 5, "malformed number"},
    {"x = 3abc", 1, 5, "malformed number"},
    {"x = 1e400", 1, 5, "number out of range"},
    {"x = 1e-400", 1, 5, "number out of range"},
    {"x = ..5", 1, 5, "unexpected character '.'"},
};
INSTANTIATE_TEST_SUITE_P(Lexical, StandinErrorTest, testing::ValuesIn(kLexicalErrors));

// The limit is 256 open levels; the error points at what opens the 257th.
const ErrorCase kNestingErrors[] = {
    {repeat("(", 257) + "1" + repeat(")", 257), 1, 257, "nesting deeper than 256"},
    {repeat("sin(", 257) + "1" + repeat(")", 257), 1, 4 * 256 + 4, "nesting deeper than 256"},
    {"x = " + repeat("2 ^ ", 257) + "1", 1, 4 + 4 * 256 + 3, "nesting deeper than 256"},
    {repeat("0 ? 1 : ", 257) + "1", 1, 8 * 256 + 3, "nesting deeper than 256"},
    {repeat("(-", 257) + "1" + repeat(")", 257), 1, 2 * 256 + 1, "nesting deeper than 256"},
    {repeat("abs(", 128) + repeat("(", 129), 1, 4 * 128 + 129, "nesting deeper than 256"},
};
INSTANTIATE_TEST_SUITE_P(Nesting, StandinErrorTest, testing::ValuesIn(kNestingErrors));

TEST(StandinNesting, TwoHundredFiftySixLevelsCompileAndRun) {
    ScriptHarness script;
    EXPECT_EQ(script.value(repeat("(", 255) + "7" + repeat(")", 255)), 7.0);  // plus the harness's own
    EXPECT_EQ(script.value(repeat("abs(", 255) + "-7" + repeat(")", 255)), 7.0);
    EXPECT_EQ(script.value(repeat("1 ^ ", 255) + "2"), 1.0);
    EXPECT_EQ(script.value(repeat("(-", 255) + "1" + repeat(")", 255)), -1.0);  // prefixes do not nest
    EXPECT_EQ(script.value(repeat("0 ? 1 : ", 255) + "9"), 9.0);
    *script.var("x") = 1.0;
    EXPECT_EQ(script.value(repeat("(x + ", 255) + "x" + repeat(")", 255)), 256.0);
}

TEST(StandinDiagnostic, ClearedBySuccessfulCompile) {
    ScriptHarness script;
    EXPECT_EQ(script.compile("1 +"), nullptr);
    StandinDiagnostic diagnostic = {};
    EXPECT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_EQ(standin_last_diagnostic(nullptr), 1);
    EXPECT_NE(script.compile("1 + 1"), nullptr);
    EXPECT_EQ(standin_last_diagnostic(&diagnostic), 0);
}

TEST(StandinDiagnostic, CheckScriptAcceptsValidTextsAndNullOutput) {
    StandinDiagnostic diagnostic = {};
    EXPECT_EQ(standin_check_script("x = sin(y) * 2; // fine", &diagnostic), 1);
    EXPECT_EQ(standin_check_script("", nullptr), 1);
    EXPECT_EQ(standin_check_script("(", nullptr), 0);
    EXPECT_EQ(standin_check_script(nullptr, &diagnostic), 0);
    EXPECT_EQ(diagnostic.line, 0);
}

TEST(StandinDiagnostic, LongNamesAreShortenedInMessages) {
    ScriptHarness script;
    EXPECT_EQ(script.compile(repeat("q", 500) + "(1)"), nullptr);
    StandinDiagnostic diagnostic = {};
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_LT(std::string(diagnostic.message).size(), sizeof diagnostic.message);
    EXPECT_NE(std::string(diagnostic.message).find("unknown function 'qqqq"), std::string::npos);
}

TEST(StandinHugeText, TooManyInstructionsIsAnError) {
    ScriptHarness script;
    *script.var("a") = 1.0;
    EXPECT_EQ(script.compile("x = a" + repeat(" + a", 1100000)), nullptr);
    StandinDiagnostic diagnostic = {};
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_STREQ(diagnostic.message, "script too large");
    EXPECT_EQ(diagnostic.line, 1);
    // Prefix operators are emitted after their operand, at the end of the text.
    EXPECT_EQ(script.compile("x = " + repeat("-!", 600000) + "a"), nullptr);
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_STREQ(diagnostic.message, "script too large");
}

// A fixed xorshift sequence, so that failures can be replayed.
class Garbage {
public:
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

private:
    uint32_t state_ = 2463534242u;
};

TEST(StandinHugeText, RandomBytesFailWithAPositionInsideTheText) {
    Garbage garbage;
    std::string text;
    for (int k = 0; k < 4 << 20; ++k) text += static_cast<char>(garbage.next() % 255 + 1);
    StandinDiagnostic diagnostic = {};
    EXPECT_EQ(standin_check_script(text.c_str(), &diagnostic), 0);
    EXPECT_GE(diagnostic.line, 1);
    EXPECT_GE(diagnostic.column, 1);
}

TEST(StandinHugeText, RandomTokenSoupNeverCrashesOrHangs) {
    // Mostly invalid, sometimes valid: what compiles must also run.
    const char* const tokens[] = {"(", ")", "(", ")", ",", ";", "?", ":", "+", "-", "*", "/", "%", "^", "!", "<",
                                  "<=", "==", "!=", "&&", "||", "=", "+=", "/=", "x", "y", "pi", "1", ".5",
                                  "sin(", "min(", "if(", "rand(", "clamp(", "//c\n", "/*c*/", "\n"};
    const size_t count = sizeof tokens / sizeof tokens[0];
    Garbage garbage;
    ScriptHarness script;
    const int32_t codes = standin_live_codes();
    int compiled = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const uint32_t length = 1 + garbage.next() % 24;
        for (uint32_t k = 0; k < length; ++k) text += std::string(tokens[garbage.next() % count]) + " ";
        host::CodeHandle code = script.host.compileCode(script.context, text.c_str());
        if (code != nullptr) {
            ++compiled;
            script.host.executeCode(code, nullptr);
            script.host.freeCode(code);
        } else {
            StandinDiagnostic diagnostic = {};
            ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1) << text;
            EXPECT_GE(diagnostic.column, 1) << text;
        }
    }
    EXPECT_GT(compiled, 0);
    EXPECT_EQ(standin_live_codes(), codes);
}

TEST(StandinHugeText, DeepUnbalancedTextsStopAtTheLimit) {
    StandinDiagnostic diagnostic = {};
    EXPECT_EQ(standin_check_script(repeat("(", 1 << 20).c_str(), &diagnostic), 0);
    EXPECT_EQ(diagnostic.column, 257);
    EXPECT_EQ(standin_check_script(repeat("x=", 1 << 20).c_str(), &diagnostic), 0);
    EXPECT_STREQ(diagnostic.message, "expected an expression, found end of text");
    EXPECT_EQ(standin_check_script(repeat("1?", 1 << 20).c_str(), &diagnostic), 0);
    EXPECT_EQ(diagnostic.column, 2 * 256 + 2);
}

}  // namespace
