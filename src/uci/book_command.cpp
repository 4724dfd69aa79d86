// "book": building opening books from PGN games.
//   book add FILE [value N] [ELO N] [all]     adds the games of FILE to the statistics
//   book write FILE [threshold N] [width N]   writes a book and drops the statistics
//   book write960 FILE ... / book writeEPD FILE ...
//   book delete                               drops the statistics
// Keywords may stand anywhere in the text.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "book/book_builder.h"
#include "control/engine_output.h"
#include "control/search_control.h"
#include "uci/uci_protocol.h"
#include "util/text.h"

namespace zelmora {

namespace {

constexpr int DEFAULT_GAME_VALUE = 1000;
constexpr int DEFAULT_THRESHOLD = 3000;
constexpr int DEFAULT_WIDTH = 25;  // percent
constexpr std::size_t MAX_OUTPUT_NAME = 1023;

// The number behind the first occurrence of keyword, or fallback.
std::int64_t numberAfter(const char* text, const char* keyword, std::int64_t fallback) {
    const char* found = std::strstr(text, keyword);
    std::int64_t value = 0;
    return found != nullptr && readInteger(found + std::strlen(keyword), value) ? value : fallback;
}

int clampToInt(std::int64_t value) { return int(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX)); }

bool hasAllWord(const char* text) {
    if (std::strstr(text, " all ") || std::strstr(text, " all\r") || std::strstr(text, " all\n")) return true;
    const std::size_t n = std::strlen(text);
    return n >= 4 && std::strcmp(text + n - 4, " all") == 0;
}

// The output name runs to the blank before "threshold" or "width" and may contain blanks.
std::string outputName(const char* name) {
    const char* threshold = std::strstr(name, "threshold");
    const char* width = std::strstr(name, "width");
    const char* end = name + std::strlen(name);
    if (threshold != nullptr || width != nullptr) {
        const char* keyword = threshold == nullptr ? width : width == nullptr ? threshold : std::min(threshold, width);
        end = keyword > name ? keyword - 1 : name;
    }
    return std::string(name, std::min(std::size_t(end - name), MAX_OUTPUT_NAME));
}

}  // namespace

void UciProtocol::book(const char* line) {
    const char* arguments = skipWhite(skipWord(skipWhite(line)));
    control_->stopSilently();

    if (std::strstr(arguments, "delete") != nullptr && bookBuilder_) {
        bookBuilder_.reset();
        return;
    }
    if (const char* add = std::strstr(arguments, "add ")) {
        if (!bookBuilder_) bookBuilder_.reset(new (std::nothrow) BookBuilder());
        if (!bookBuilder_) return;
        const char* name = skipWhite(add + 4);
        const std::string fileName(name, skipWord(name));
        const auto gameValue = std::uint32_t(numberAfter(arguments, "value ", DEFAULT_GAME_VALUE));
        const int minimumElo = clampToInt(numberAfter(arguments, "ELO ", -1));
        bookBuilder_->addGames(fileName.c_str(), gameValue, hasAllWord(arguments), minimumElo);
        return;
    }
    const char* write = std::strstr(arguments, "write");
    if (write == nullptr || !bookBuilder_) return;

    const bool write960 = startsWith(write, "write960");
    const bool testPositions = !write960 && startsWith(write, "writeEPD");
    const std::string fileName = outputName(skipWhite(write + (write960 || testPositions ? 8 : 5)));
    const int threshold = clampToInt(numberAfter(arguments, "threshold ", DEFAULT_THRESHOLD));
    const double width = double(clampToInt(numberAfter(arguments, "width ", DEFAULT_WIDTH))) * 0.01;
    if (testPositions) {
        bookBuilder_->writeEpd(fileName.c_str(), threshold, width);
    } else if (write960 ? bookBuilder_->write960(fileName.c_str(), threshold, width)
                        : bookBuilder_->write(fileName.c_str(), threshold, width)) {
        // Through the output channel, whose lock keeps whole lines apart from any other output.
        char text[64];
        std::snprintf(text, sizeof text, "white moves:%10ld", long(bookBuilder_->whiteMoves));
        output_->printLine(text);
        std::snprintf(text, sizeof text, "black moves:%10ld", long(bookBuilder_->blackMoves));
        output_->printLine(text);
        std::snprintf(text, sizeof text, "moves:      %10ld",
                      long(bookBuilder_->whiteMoves) + long(bookBuilder_->blackMoves));
        output_->printLine(text);
    }
    bookBuilder_.reset();
}

}  // namespace zelmora
