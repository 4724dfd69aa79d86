#pragma once
// A table, the shared state and one engine: a search of its own, for tools that judge positions
// and for the tests.

#include <cstddef>

#include "search/engine.h"
#include "search/transposition_table.h"

namespace zelmora {

struct StandaloneSearch {
    explicit StandaloneSearch(std::size_t tableBytes = TranspositionTable::DEFAULT_BYTES) : table(tableBytes) {}
    StandaloneSearch(const StandaloneSearch&) = delete;
    StandaloneSearch& operator=(const StandaloneSearch&) = delete;

    TranspositionTable table;
    SharedSearch shared{table};
    Engine engine{shared};
};

}  // namespace zelmora
