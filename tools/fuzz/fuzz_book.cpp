// libFuzzer target: any bytes as an opening book file, loaded into a small table so that the
// full-table paths are reached too. A loaded book must fit the table, be sorted and answer for
// the start position with a legal move only.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "board/attacks.h"
#include "board/position.h"
#include "book/book_loader.h"
#include "book/book_probe.h"
#include "search/transposition_table.h"

using namespace zelmora;

namespace {

constexpr std::size_t TABLE_BYTES = 1 << 16;

std::uint64_t keyOf(const TTEntry& e) { return std::uint64_t(e.keyHigh) << 32 | e.keyLow; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    initBoardTables();
    static TranspositionTable table(TABLE_BYTES);
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.empty()) bytes.push_back(' ');
    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    if (stream == nullptr) return 0;
    const bool loaded = readBook(stream, table);
    std::fclose(stream);
    // A fault leaves only the placeholder; a book of no moves is no book at all.
    if (!loaded) {
        if (table.bookCount != 1) __builtin_trap();
        return 0;
    }
    if (table.bookCount > table.slots()) __builtin_trap();
    const TTEntry* records = table.entries();
    for (std::uint32_t i = 1; i < table.bookCount; ++i) {
        if (keyOf(records[i - 1]) > keyOf(records[i])) __builtin_trap();
    }
    Position start;
    Move move = NO_MOVE;
    if (probeBook(table, start.key(), move) && !isLegalMove(start, move)) __builtin_trap();
    return 0;
}
