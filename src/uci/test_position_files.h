#pragma once
// The files of the test-position job: the control file that names the others and remembers the
// last game done, and the position files with one "value score FEN" line per position.

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>

namespace zelmora {

struct TestPositionControl {
    static constexpr int LINE_LIMIT = 998;  // characters kept of each control line

    std::string positionFiles[2];
    long lastGame = 0;  // games up to this number are done
    std::string pgnFile;
};

// False when the file cannot be opened. Missing lines read as empty, an unreadable number as 0.
bool readTestPositionControl(const char* fileName, TestPositionControl& control);
// Replaces the file as a whole, so that a job killed meanwhile finds either the old or the new one.
bool writeTestPositionControl(const char* fileName, const TestPositionControl& control);

using PositionKeySet = std::unordered_set<std::uint64_t>;

struct PositionFileScan {
    bool opened = false;
    long positions = 0;         // lines whose FEN was read
    long skippedLines = 0;      // too short or no valid FEN
    bool endsInsideLine = false;  // the last line has no line end (a write was cut off)
};

// Adds the key of every position in the file; a file that cannot be read adds nothing.
PositionFileScan collectPositionKeys(const char* fileName, PositionKeySet& keys);

// "%8ld%8ld %s\n": the quiet value, the search score and the FEN; flushed at once.
bool appendPositionLine(std::FILE* file, long value, long score, const char* fen);

}  // namespace zelmora
