// The stand-in language's lexer: turns a C string into tokens on demand, so
// that a text is read no further than its first error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

// 1-based; columns count bytes.
struct SourcePos {
    int32_t line = 1;
    int32_t column = 1;
};

// Thrown inside the compiler only; the glue turns it into a diagnostic.
struct CompileError {
    SourcePos pos;
    std::string message;
};

enum class Tok : uint8_t {
    End, Number, Name,
    LParen, RParen, LBracket, RBracket, Comma, Semicolon, Question, Colon,
    Plus, Minus, Star, Slash, Percent, Caret, Bang,
    Less, LessEq, Greater, GreaterEq, EqEq, NotEq, AndAnd, OrOr,
    Assign, PlusAssign, MinusAssign, StarAssign, SlashAssign,
};

struct Token {
    Tok kind = Tok::End;
    SourcePos pos;
    double number = 0.0;    // Tok::Number
    std::string_view text;  // the token's characters
};

// How a token is named in messages: "end of text", "number", "'foo'", "'+'".
std::string describe(const Token& token);

class Lexer {
public:
    explicit Lexer(const char* text) : p_(text), lineStart_(text) {}

    // The next token; throws CompileError for a character or number that
    // cannot start or form a token, or an unterminated comment.
    Token next();

private:
    void skipSpaceAndComments();
    void newLine(const char* after);
    SourcePos posAt(const char* at) const;
    Token lexNumber(Token token);

    const char* p_;
    const char* lineStart_;
    int64_t line_ = 1;
};

}  // namespace standin
