// "book write" and "book write960": the scored statistics as a book file. Each move is written
// as "%6s%3d " with its replies behind it on the same line, then "* "; the second and later moves
// of a level start a new line indented ten blanks per level.

#include <cmath>

#include "board/notation.h"
#include "book/book_builder.h"
#include "util/file_error.h"

namespace zelmora {

namespace {

constexpr int CHESS960_START_POSITIONS = 960;

bool hasWeightedMove(const std::vector<MoveStats>& list) {
    for (const MoveStats& e : list)
        if (!e.written && e.weight > 0) return true;
    return false;
}

std::FILE* openOutput(const char* fileName, std::FILE* errors) {
    std::FILE* file = std::fopen(fileName, "w");
    if (file == nullptr) {
        reportFileError(errors, "opening the output file", fileName);
    }
    return file;
}

}  // namespace

void BookBuilder::writeBookTree(Position& position, int depth, std::FILE* out) {
    const std::uint64_t key = position.key();
    if (path.count(key) != 0) return;
    path.insert(key);
    std::vector<MoveStats>& list = positions[key];
    int written = 0;
    for (MoveStats& e : list) {
        if (e.written) continue;
        e.written = true;
        char text[16];
        moveToText(position, e.move, MoveStyle::COORDINATE, text);
        UndoRecord undo;
        position.makeLegal(e.move, undo);
        if (e.weight == 0) {
            // A move without weight is still written when it is the way into weighted moves.
            const std::vector<MoveStats>* next = path.count(position.key()) == 0 ? statsOf(position.key()) : nullptr;
            if (next == nullptr || !hasWeightedMove(*next)) {
                position.unmake(undo);
                continue;
            }
        }
        if (position.whiteToMove()) ++blackMoves;
        else ++whiteMoves;
        if (written > 0) std::fprintf(out, "\n%*s", depth * 10, "");
        std::fprintf(out, "%6s%3d ", text, e.weight);
        ++written;
        writeBookTree(position, depth + 1, out);
        position.unmake(undo);
        std::fputs("* ", out);
    }
    path.erase(key);
}

bool BookBuilder::write(const char* fileName, int threshold, double width, std::FILE* errors) {
    std::FILE* file = openOutput(fileName, errors);
    if (file == nullptr) return false;
    whiteMoves = blackMoves = 0;
    Position position;
    scoreBookTree(position, std::int64_t(threshold) + 1000, std::log(1.0 + width));
    writeBookTree(position, 0, file);
    std::fputs("* -1\n", file);
    std::fclose(file);
    return true;
}

bool BookBuilder::write960(const char* fileName, int threshold, double width, std::FILE* errors) {
    std::FILE* file = openOutput(fileName, errors);
    if (file == nullptr) return false;
    whiteMoves = blackMoves = 0;
    Position position;
    for (int n = 1; n <= CHESS960_START_POSITIONS; ++n) {
        if (!position.setChess960(unsigned(n % CHESS960_START_POSITIONS)) || statsOf(position.key()) == nullptr) continue;
        scoreBookTree(position, std::int64_t(threshold) + 1000, std::log(1.0 + width));
        if (n > 1) std::fputs("\n", file);
        std::fprintf(file, "startpos %d\n", n);
        writeBookTree(position, 0, file);
        std::fputs("\n", file);
    }
    std::fputs("* -1\n", file);
    std::fclose(file);
    return true;
}

}  // namespace zelmora
