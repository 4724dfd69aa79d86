#include "util/text.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zelmora {

void trimTrailingWhite(char* text) {
    std::size_t n = std::strlen(text);
    while (n > 0 && isWhite(text[n - 1])) --n;
    text[n] = '\0';
}

void squeezeBlanks(char* text) {
    char* out = text;
    for (const char* in = text; *in; ++in) {
        if (*in == ' ' && out > text && out[-1] == ' ') continue;
        *out++ = *in;
    }
    *out = '\0';
}

const char* skipWhite(const char* text) {
    while (isWhite(*text)) ++text;
    return text;
}

const char* skipWord(const char* text) {
    while (*text && !isWhite(*text)) ++text;
    return text;
}

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool readInteger(const char* text, std::int64_t& value) {
    text = skipWhite(text);
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (*text < '0' || *text > '9') return false;
    // Accumulated as a negative number, whose range includes the most negative value.
    constexpr std::int64_t LOWEST = INT64_MIN;
    std::int64_t sum = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const int digit = *text - '0';
        sum = sum < (LOWEST + digit) / 10 ? LOWEST : sum * 10 - digit;
    }
    value = negative ? sum : (sum == LOWEST ? INT64_MAX : -sum);
    return true;
}

void LineBuffer::append(const char* text) {
    while (*text && length_ + 1 < CAPACITY) text_[length_++] = *text++;
    text_[length_] = '\0';
}

void LineBuffer::appendf(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(text_ + length_, CAPACITY - length_, format, arguments);
    va_end(arguments);
    if (written > 0) length_ += static_cast<std::size_t>(written);
    if (length_ >= CAPACITY) length_ = CAPACITY - 1;
}

}  // namespace zelmora
