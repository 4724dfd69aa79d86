#pragma once
// Small text helpers for command lines and output lines. All work on ASCII bytes only, so
// arbitrary input bytes are safe.

#include <cstddef>
#include <cstdint>

namespace zelmora {

// Blank, tab, line feed, vertical tab, form feed or carriage return.
constexpr bool isWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Removes trailing white space in place.
void trimTrailingWhite(char* text);
// Replaces every run of blanks by a single blank, in place.
void squeezeBlanks(char* text);
const char* skipWhite(const char* text);
const char* skipWord(const char* text);
bool startsWith(const char* text, const char* prefix);
// Reads a decimal number as scanf's integer conversions do: white space, an optional sign, then
// digits up to the first other character. Saturates instead of overflowing; false without a digit.
bool readInteger(const char* text, std::int64_t& value);

// A fixed buffer that output lines are assembled in; text beyond its capacity is dropped.
class LineBuffer {
public:
    static constexpr std::size_t CAPACITY = 4096;

    LineBuffer() { text_[0] = '\0'; }
    void append(const char* text);
    void appendf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void squeeze() { squeezeBlanks(text_); }
    const char* text() const { return text_; }
    std::size_t length() const { return length_; }

private:
    char text_[CAPACITY];
    std::size_t length_ = 0;
};

}  // namespace zelmora
