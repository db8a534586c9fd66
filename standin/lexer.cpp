#include "standin/lexer.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <limits>
#include <system_error>

namespace standin {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }

// The number text start..end as the nearest double: from_chars, except with
// libc++ (the browser build's), which has none for doubles; there strtod,
// also correctly rounded, which in that build always reads the "C" locale.
std::errc readDouble(const char* start, const char* end, double& value) {
#if !defined(_LIBCPP_VERSION)
    const std::from_chars_result result = std::from_chars(start, end, value);
    if (result.ec == std::errc() && result.ptr != end) return std::errc::invalid_argument;
    return result.ec;
#else
    const std::string text(start, end);
    char* stop = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &stop);
    if (stop != text.c_str() + text.size()) return std::errc::invalid_argument;
    if (errno == ERANGE) return std::errc::result_out_of_range;
    return std::errc();
#endif
}

int32_t saturate(int64_t value) {
    return value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(value);
}

struct Punct {
    const char* text;
    Tok kind;
};

// Longest first, so that "<=" wins over "<".
const Punct kPuncts[] = {
    {"<=", Tok::LessEq}, {">=", Tok::GreaterEq}, {"==", Tok::EqEq},        {"!=", Tok::NotEq},
    {"&&", Tok::AndAnd}, {"||", Tok::OrOr},      {"+=", Tok::PlusAssign},  {"-=", Tok::MinusAssign},
    {"*=", Tok::StarAssign}, {"/=", Tok::SlashAssign},
    {"(", Tok::LParen},  {")", Tok::RParen},     {"[", Tok::LBracket},     {"]", Tok::RBracket},
         {",", Tok::Comma},        {";", Tok::Semicolon},
    {"?", Tok::Question}, {":", Tok::Colon},     {"+", Tok::Plus},         {"-", Tok::Minus},
    {"*", Tok::Star},    {"/", Tok::Slash},      {"%", Tok::Percent},      {"^", Tok::Caret},
    {"!", Tok::Bang},    {"<", Tok::Less},       {">", Tok::Greater},      {"=", Tok::Assign},
};

}  // namespace

std::string describe(const Token& token) {
    switch (token.kind) {
        case Tok::End: return "end of text";
        case Tok::Number: return "number";
        case Tok::Name: {
            std::string_view name = token.text;
            if (name.size() > 32) return "'" + std::string(name.substr(0, 32)) + "...'";
            return "'" + std::string(name) + "'";
        }
        default: return "'" + std::string(token.text) + "'";
    }
}

SourcePos Lexer::posAt(const char* at) const { return {saturate(line_), saturate(at - lineStart_ + 1)}; }

// CR LF, a lone CR and a lone LF each end one line.
void Lexer::newLine(const char* after) {
    ++line_;
    lineStart_ = after;
}

void Lexer::skipSpaceAndComments() {
    for (;;) {
        const char c = *p_;
        if (c == ' ' || c == '\t' || c == '\v' || c == '\f') {
            ++p_;
        } else if (c == '\n') {
            newLine(++p_);
        } else if (c == '\r') {
            p_ += (p_[1] == '\n') ? 2 : 1;
            newLine(p_);
        } else if (c == '/' && p_[1] == '/') {
            while (*p_ != '\0' && *p_ != '\n' && *p_ != '\r') ++p_;
        } else if (c == '/' && p_[1] == '*') {
            const SourcePos start = posAt(p_);
            p_ += 2;
            for (;;) {
                if (*p_ == '\0') throw CompileError{start, "unterminated comment"};
                if (p_[0] == '*' && p_[1] == '/') {
                    p_ += 2;
                    break;
                }
                if (*p_ == '\n') {
                    newLine(++p_);
                } else if (*p_ == '\r') {
                    p_ += (p_[1] == '\n') ? 2 : 1;
                    newLine(p_);
                } else {
                    ++p_;
                }
            }
        } else {
            return;
        }
    }
}

// digits [ '.' digits ] [ e [+-] digits ], or '.' digits [ exponent ].
Token Lexer::lexNumber(Token token) {
    const char* start = p_;
    const char* q = p_;
    while (isDigit(*q)) ++q;
    if (*q == '.') {
        ++q;
        while (isDigit(*q)) ++q;
    }
    bool malformed = false;
    if (*q == 'e' || *q == 'E') {
        ++q;
        if (*q == '+' || *q == '-') ++q;
        if (!isDigit(*q)) malformed = true;
        while (isDigit(*q)) ++q;
    }
    // "2.x", "1e", "3abc" and "1.2.3" are not numbers followed by something else.
    if (malformed || isNameChar(*q) || *q == '.') throw CompileError{token.pos, "malformed number"};
    double value = 0.0;
    const std::errc read = readDouble(start, q, value);
    if (read == std::errc::result_out_of_range) throw CompileError{token.pos, "number out of range"};
    if (read != std::errc()) throw CompileError{token.pos, "malformed number"};
    token.kind = Tok::Number;
    token.number = value;
    token.text = std::string_view(start, static_cast<size_t>(q - start));
    p_ = q;
    return token;
}

Token Lexer::next() {
    skipSpaceAndComments();
    Token token;
    token.pos = posAt(p_);
    const char c = *p_;
    if (c == '\0') {
        token.kind = Tok::End;
        return token;
    }
    if (isDigit(c) || (c == '.' && isDigit(p_[1]))) return lexNumber(token);
    if (isNameStart(c)) {
        const char* start = p_;
        while (isNameChar(*p_)) ++p_;
        token.kind = Tok::Name;
        token.text = std::string_view(start, static_cast<size_t>(p_ - start));
        return token;
    }
    for (const Punct& punct : kPuncts) {
        const std::string_view text(punct.text);
        // p_[0] is not NUL here, so p_[1] can be read.
        if (p_[0] == text[0] && (text.size() == 1 || p_[1] == text[1])) {
            token.kind = punct.kind;
            token.text = std::string_view(p_, text.size());
            p_ += text.size();
            return token;
        }
    }
    char message[64];
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '&' || c == '|') {
        std::snprintf(message, sizeof message, "unexpected character '%c' (did you mean '%c%c'?)", c, c, c);
    } else if (byte >= 0x21 && byte <= 0x7E) {
        std::snprintf(message, sizeof message, "unexpected character '%c'", c);
    } else {
        std::snprintf(message, sizeof message, "unexpected byte 0x%02X", byte);
    }
    throw CompileError{token.pos, message};
}

}  // namespace standin
