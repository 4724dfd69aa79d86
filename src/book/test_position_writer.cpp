// "book writeEPD": positions from which at least three well-balanced book moves lead on, as test
// positions in random order, each with the move path that reaches it.

#include <cmath>
#include <utility>

#include "board/notation.h"
#include "book/book_builder.h"
#include "util/file_error.h"
#include "util/random.h"

namespace zelmora {

// gateA: the side that moved last only played weighted moves so far; gateB: the same for the other
// side one ply later. rich: this position offers enough balanced moves; recorded: a test position
// was taken here or below.
void BookBuilder::collectTestPositions(Position& position, const std::string& moveText, bool gateA, bool gateB,
                                       bool& rich, bool& recorded) {
    const std::uint64_t key = position.key();
    if (path.count(key) != 0 || !gateA) return;
    path.insert(key);
    std::vector<MoveStats>& list = positions[key];
    int good = 0, goodAndRich = 0;
    for (MoveStats& e : list) {
        if (e.written) continue;
        e.written = true;
        char text[16];
        moveToText(position, e.move, MoveStyle::GERMAN, text);
        if (position.whiteToMove()) ++whiteMoves;
        else ++blackMoves;
        UndoRecord undo;
        position.makeLegal(e.move, undo);
        bool childRich = false, childRecorded = false;
        collectTestPositions(position, moveText + " " + text, e.weight > 0 && gateB, gateA, childRich, childRecorded);
        recorded = recorded || childRecorded;
        const bool balanced = e.weight > 0 && e.whitePoints * 1.5 > e.blackPoints && e.blackPoints * 1.5 > e.whitePoints;
        if (balanced) {
            ++good;
            if (childRich) ++goodAndRich;
        }
        position.unmake(undo);
    }
    rich = good + goodAndRich >= 3;
    if (rich && !recorded) {
        char fen[128];
        position.writeFen(fen);
        testLines.push_back(std::string(fen) + " 0 1; \"" + moveText + "\"; ");
        recorded = true;
    }
    path.erase(key);
}

bool BookBuilder::writeEpd(const char* fileName, int threshold, double width, std::FILE* errors) {
    std::FILE* file = std::fopen(fileName, "w");
    if (file == nullptr) {
        reportFileError(errors, "opening the output file", fileName);
        return false;
    }
    whiteMoves = blackMoves = 0;
    Position position;
    scoreBookTree(position, std::int64_t(threshold) + 1000, std::log(1.0 + width));
    bool rich = false, recorded = false;
    collectTestPositions(position, "", true, true, rich, recorded);

    RandomGenerator& random = RandomGenerator::instance();
    const std::size_t n = testLines.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = random.next() % n;
        if (j != i) std::swap(testLines[i], testLines[j]);
    }
    for (std::size_t i = 0; i < n; ++i)
        std::fprintf(file, "%s\"QD-Teststellung %zu\"\n", testLines[i].c_str(), i + 1);
    std::fclose(file);
    return true;
}

}  // namespace zelmora
