// The character stream of a PGN file, its line and character counters, and the tokens.

#include <cstdio>

#include "pgn/pgn_reader.h"
#include "util/unlocked_stream.h"

namespace zelmora {

namespace {

bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isWhiteSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// '!' and '?' are missing on purpose: after a move they stand as tokens of their own.
bool isSymbolChar(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '+' || c == '#' ||
           c == '=' || c == ':' || c == '-' || c == '/';
}

}  // namespace

PgnReader::PgnReader(const char* fileName, std::FILE* errors)
    : PgnReader(fileName != nullptr ? std::fopen(fileName, "r") : nullptr, fileName, errors) {}

PgnReader::PgnReader(std::FILE* stream, const char* name, std::FILE* errors)
    : file_(stream), errors_(errors), fileName_(name != nullptr ? name : "") {
    if (file_ == nullptr) {
        reportError("Cannot open file");
        return;
    }
    // The first character is read at once, so it counts as character 2 of line 1.
    advance();
}

void PgnReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    lookahead_ = EOF;
    text_.clear();
    text_.shrink_to_fit();
}

void PgnReader::advance() {
    if (file_ == nullptr) return;
    const int c = getByteUnlocked(file_);
    lookahead_ = c;
    if (c == EOF) return;
    ++char_;
    if (c == '\n') {
        ++line_;
        char_ = 0;
    }
}

void PgnReader::skipSeparators() {
    for (;;) {
        const int c = lookahead_;
        if (isWhiteSpace(c)) {
            advance();
        } else if (c == ';' || (c == '%' && char_ == 1)) {
            while (lookahead_ != EOF && lookahead_ != '\r' && lookahead_ != '\n') advance();
        } else if (c == '{') {
            while (lookahead_ != EOF && lookahead_ != '}') advance();
            advance();
        } else {
            return;
        }
    }
}

PgnTokenKind PgnReader::nextToken() {
    text_.clear();
    skipSeparators();
    const int c = lookahead_;
    if (c == EOF) return PgnTokenKind::END_OF_FILE;
    switch (c) {
    case '.': advance(); return PgnTokenKind::PERIOD;
    case '*': advance(); return PgnTokenKind::ASTERISK;
    case '(': advance(); return PgnTokenKind::OPEN_PARENTHESIS;
    case ')': advance(); return PgnTokenKind::CLOSE_PARENTHESIS;
    case '[': advance(); return PgnTokenKind::OPEN_BRACKET;
    case ']': advance(); return PgnTokenKind::CLOSE_BRACKET;
    case '"':
        advance();
        while (lookahead_ != EOF && lookahead_ != '"') {
            if (lookahead_ == '\\') {
                advance();
                if (lookahead_ == EOF) break;
            }
            text_ += char(lookahead_);
            advance();
        }
        advance();  // the closing quote
        return PgnTokenKind::STRING;
    case '$':
        advance();
        while (isDigit(lookahead_)) {
            text_ += char(lookahead_);
            advance();
        }
        return PgnTokenKind::NAG;
    default: break;
    }
    bool allDigits = isDigit(c);
    text_ += char(c);
    advance();
    while (isSymbolChar(lookahead_)) {
        allDigits = allDigits && isDigit(lookahead_);
        text_ += char(lookahead_);
        advance();
    }
    return allDigits ? PgnTokenKind::INTEGER : PgnTokenKind::SYMBOL;
}

void PgnReader::reportError(const char* message, const char* detail) const {
    std::fprintf(errors_, "info string PGN-Parser: file %s line %d char %d: %s%s\n", fileName_.c_str(), line_, char_,
                 message, detail != nullptr ? detail : "");
    std::fflush(errors_);
}

}  // namespace zelmora
