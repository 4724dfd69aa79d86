// The book file is a tree of tokens separated by white space:
//   level = { item } "*"        item = "startpos" N | move weight level
// read from the classical start position. A move's replies form the level after it; "startpos N"
// switches to Chess960 array N (mod 960). Anything after the top-level "*" is ignored.

#include "book/book_loader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "board/notation.h"
#include "search/transposition_table.h"
#include "util/platform.h"
#include "util/text.h"
#include "util/unlocked_stream.h"

namespace zelmora {

namespace {

// Tokens and numbers of a book file. Tokens longer than any move are cut and flagged, so that
// a line of 40,000 characters costs no memory and is rejected as a move.
class BookText {
public:
    static constexpr int TOKEN_SIZE = 64;

    explicit BookText(std::FILE* file) : file_(file) {}

    // False at the end of the file.
    bool token(char (&out)[TOKEN_SIZE], bool& tooLong) {
        skipWhite();
        int c = getByteUnlocked(file_);
        if (c == EOF) return false;
        int length = 0;
        tooLong = false;
        while (c != EOF && !isWhite(char(c))) {
            if (length < TOKEN_SIZE - 1) out[length++] = char(c);
            else tooLong = true;
            c = getByteUnlocked(file_);
        }
        out[length] = '\0';
        return true;
    }

    // A decimal number as "%d" reads it: white space, a sign, digits up to the first other
    // character. False without a digit or beyond 32 bits.
    bool number(std::int64_t& value, std::int64_t lowest, std::int64_t highest) {
        skipWhite();
        int c = getByteUnlocked(file_);
        const bool negative = c == '-';
        if (c == '-' || c == '+') c = getByteUnlocked(file_);
        if (c < '0' || c > '9') return false;
        std::int64_t magnitude = 0;
        while (c >= '0' && c <= '9') {
            if (magnitude <= INT32_MAX + std::int64_t(1)) magnitude = magnitude * 10 + (c - '0');
            c = getByteUnlocked(file_);
        }
        if (c != EOF) ungetc(c, file_);
        value = negative ? -magnitude : magnitude;
        return value >= lowest && value <= highest;
    }

private:
    void skipWhite() {
        int c;
        do c = getByteUnlocked(file_);
        while (c != EOF && isWhite(char(c)));
        if (c != EOF) ungetc(c, file_);
    }

    std::FILE* file_;
};

constexpr std::int32_t NO_WEIGHT = -1;

// Reads the whole tree into the table's entries. Iterative, with the made moves on a stack of
// its own: a malicious file with a line thousands of moves deep must not exhaust the C stack.
bool readBookTree(TranspositionTable& table, BookText& text, Position& position, std::uint32_t& count) {
    TTEntry* records = table.entries();
    const std::uint32_t capacity = table.slots();
    const std::uint16_t age = table.age();
    std::vector<UndoRecord> path;  // one made move per open level below the top
    char token[BookText::TOKEN_SIZE];
    bool tooLong = false;

    if (count >= capacity) return false;
    for (;;) {
        if (!text.token(token, tooLong)) return false;
        if (!tooLong && std::strcmp(token, "*") == 0) {
            if (path.empty()) return true;
            position.unmake(path.back());
            path.pop_back();
            continue;
        }
        if (!tooLong && std::strcmp(token, "startpos") == 0) {
            // Only the top level may switch arrays: the levels above a deeper one would otherwise
            // take their moves back on a board they were never made on. A missing number makes
            // the file invalid as well.
            std::int64_t number = 0;
            if (!path.empty() || !text.number(number, INT32_MIN, UINT32_MAX)) return false;
            if (!position.setChess960(unsigned(std::uint32_t(number)) % 960)) return false;
            continue;
        }
        std::int64_t weight = NO_WEIGHT;
        if (!text.number(weight, INT32_MIN, INT32_MAX) || weight == NO_WEIGHT) return false;
        Move move = NO_MOVE;
        if (tooLong || !textToMove(position, token, move, true)) return false;

        TTEntry& record = records[count++];
        record.keyLow = std::uint32_t(position.key());
        record.keyHigh = std::uint32_t(position.key() >> 32);
        record.move = move;
        record.score = std::int32_t(weight);
        record.count = 0;
        record.depthWord = 0;
        record.age = age;

        path.emplace_back();
        if (!position.makeLegal(move, path.back())) return false;
        if (count >= capacity) return false;  // a new level starts: no room left for its moves
    }
}

std::uint64_t keyOf(const TTEntry& e) { return std::uint64_t(e.keyHigh) << 32 | e.keyLow; }

std::FILE* openBookFile(const char* fileName) {
    std::FILE* file = std::fopen(fileName, "r");
    if (file != nullptr || std::strchr(fileName, '/') != nullptr || std::strchr(fileName, '\\') != nullptr) return file;
    const std::string beside = besideProgram(fileName);
    return beside.empty() ? nullptr : std::fopen(beside.c_str(), "r");
}

}  // namespace

void setPlaceholderBook(TranspositionTable& table) {
    TTEntry& record = table.entries()[0];
    record = TTEntry{};
    record.score = 100;
    record.age = table.age();
    table.bookCount = 1;
}

bool loadBook(const char* fileName, TranspositionTable& table) {
    std::FILE* file = openBookFile(fileName);
    if (file == nullptr) {
        table.bookCount = 0;
        setPlaceholderBook(table);
        return false;
    }
    const bool complete = readBook(file, table);
    std::fclose(file);
    return complete;
}

bool readBook(std::FILE* file, TranspositionTable& table) {
    table.bookCount = 0;
    Position position;
    BookText text(file);
    std::uint32_t count = 0;
    if (!readBookTree(table, text, position, count)) {
        setPlaceholderBook(table);
        return false;
    }
    // Stable, so that the moves of a position keep the file's order: the writer puts them best
    // first, and a move of weight 0 is then never first in its group, where the draw could pick it.
    TTEntry* records = table.entries();
    std::stable_sort(records, records + count, [](const TTEntry& a, const TTEntry& b) { return keyOf(a) < keyOf(b); });
    table.bookCount = count;
    return true;
}

bool reloadBook(bool ownBook, const char* fileName, TranspositionTable& table) {
    if (!ownBook) {
        setPlaceholderBook(table);
        return true;
    }
    return loadBook(fileName, table);
}

}  // namespace zelmora
