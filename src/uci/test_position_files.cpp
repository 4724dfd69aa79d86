#include "uci/test_position_files.h"

#include <cstring>

#include "board/position.h"
#include "util/text.h"

namespace zelmora {

namespace {

constexpr int VALUES_WIDTH = 17;  // "%8ld%8ld " in front of the FEN

// One line without its line end, at most limit characters; the rest of a longer line is dropped
// so that it cannot pose as the next line. False at the end of the file.
bool readLine(std::FILE* file, std::string& line, std::size_t limit, bool* ended = nullptr) {
    line.clear();
    int c = std::getc(file);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::getc(file))
        if (line.size() < limit) line.push_back(char(c));
    if (ended != nullptr) *ended = c == '\n';
    return true;
}

std::string trimmed(std::string text) {
    std::size_t n = text.size();
    while (n > 0 && isWhite(text[n - 1])) --n;
    text.resize(n);
    return text;
}

bool writeControl(std::FILE* file, const TestPositionControl& control) {
    const int written = std::fprintf(file, "%s\n%s\n%ld\n%s\n", control.positionFiles[0].c_str(),
                                     control.positionFiles[1].c_str(), control.lastGame, control.pgnFile.c_str());
    return written > 0 && std::fflush(file) == 0;
}

}  // namespace

bool readTestPositionControl(const char* fileName, TestPositionControl& control) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return false;
    std::string lines[4];
    for (std::string& line : lines)
        if (!readLine(file, line, TestPositionControl::LINE_LIMIT)) break;
    std::fclose(file);

    control.positionFiles[0] = trimmed(lines[0]);
    control.positionFiles[1] = trimmed(lines[1]);
    std::int64_t number = 0;
    control.lastGame = readInteger(lines[2].c_str(), number) ? long(number) : 0;
    control.pgnFile = trimmed(lines[3]);
    return true;
}

bool writeTestPositionControl(const char* fileName, const TestPositionControl& control) {
    // Written beside and renamed over the old file: a kill while writing leaves the old one whole.
    const std::string fresh = std::string(fileName) + ".new";
    if (std::FILE* file = std::fopen(fresh.c_str(), "wb")) {
        const bool written = writeControl(file, control);
        if (std::fclose(file) == 0 && written && std::rename(fresh.c_str(), fileName) == 0) return true;
        std::remove(fresh.c_str());
    }
    // No room beside it (a directory without write access): rewrite it in place.
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr) return false;
    const bool written = writeControl(file, control);
    return std::fclose(file) == 0 && written;
}

PositionFileScan collectPositionKeys(const char* fileName, PositionKeySet& keys) {
    PositionFileScan scan;
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return scan;
    scan.opened = true;
    std::string line;
    bool ended = true;
    Position position;
    while (readLine(file, line, 1023, &ended)) {
        if (line.size() < std::size_t(VALUES_WIDTH) || position.setFen(line.c_str() + VALUES_WIDTH) == nullptr) {
            ++scan.skippedLines;
            continue;
        }
        keys.insert(position.key());
        ++scan.positions;
    }
    scan.endsInsideLine = !ended;
    std::fclose(file);
    return scan;
}

bool appendPositionLine(std::FILE* file, long value, long score, const char* fen) {
    return std::fprintf(file, "%8ld%8ld %s\n", value, score, fen) > 0 && std::fflush(file) == 0;
}

}  // namespace zelmora
