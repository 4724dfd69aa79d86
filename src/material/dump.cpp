// "mat writemem" and "mat readmem": the raw sums as a binary file, so that a big collection can
// be worked through in several runs. Little-endian: a 32-bit count of game signatures and the
// signatures (8 bytes each), then a 32-bit count of positions, each as its 64-bit key and the
// 32-byte record (material key, advantage sum, points sum, weight sum, remaining-length sum).

#include <cstring>
#include <utility>

#include "material/statistics.h"
#include "util/file_error.h"

namespace zelmora {

namespace {

constexpr std::uint64_t CLASS_KEY_LIMIT = std::uint64_t(1) << 44;

class DumpWriter {
public:
    explicit DumpWriter(std::FILE* file) : file_(file) {}
    void put32(std::uint32_t value) { putBytes(value, 4); }
    void put64(std::uint64_t value) { putBytes(value, 8); }
    void putDouble(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, 8);
        put64(bits);
    }

private:
    void putBytes(std::uint64_t value, int count) {
        unsigned char bytes[8];
        for (int i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
        std::fwrite(bytes, 1, std::size_t(count), file_);
    }
    std::FILE* file_;
};

// Every read reports whether the file still had the bytes.
class DumpReader {
public:
    explicit DumpReader(std::FILE* file) : file_(file) {}
    bool get32(std::uint32_t& value) {
        std::uint64_t wide;
        if (!getBytes(wide, 4)) return false;
        value = std::uint32_t(wide);
        return true;
    }
    bool get64(std::uint64_t& value) { return getBytes(value, 8); }
    bool getDouble(double& value) {
        std::uint64_t bits;
        if (!get64(bits)) return false;
        std::memcpy(&value, &bits, 8);
        return true;
    }
    bool atEnd() { return std::fgetc(file_) == EOF; }

private:
    bool getBytes(std::uint64_t& value, int count) {
        unsigned char bytes[8];
        if (std::fread(bytes, 1, std::size_t(count), file_) != std::size_t(count)) return false;
        value = 0;
        for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
        return true;
    }
    std::FILE* file_;
};

bool readRecord(DumpReader& in, std::uint64_t& key, MaterialPositionRecord& r) {
    std::uint32_t points, weight;
    if (!in.get64(key) || !in.get64(r.materialKey) || !in.getDouble(r.advantageSum) || !in.get32(points) ||
        !in.get32(weight) || !in.getDouble(r.remainingSum))
        return false;
    r.pointsSum = std::int32_t(points);
    r.weightSum = std::int32_t(weight);
    return true;
}

// A key that materialClassKey could have made: two codes, a bishop class, nothing else.
bool isClassKey(std::uint64_t key) { return key != 0 && key < CLASS_KEY_LIMIT && (key & 12) == 0; }

}  // namespace

bool MaterialStatistics::writeDump(const char* fileName, std::FILE* errors) const {
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr) {
        reportFileError(errors, "opening the output file", fileName);
        return false;
    }
    DumpWriter out(file);
    out.put32(std::uint32_t(games.size()));
    for (std::uint64_t signature : games) out.put64(signature);
    out.put32(std::uint32_t(positions.size()));
    for (const auto& [key, r] : positions) {
        out.put64(key);
        out.put64(r.materialKey);
        out.putDouble(r.advantageSum);
        out.put32(std::uint32_t(r.pointsSum));
        out.put32(std::uint32_t(r.weightSum));
        out.putDouble(r.remainingSum);
    }
    const bool written = !std::ferror(file);
    if (std::fclose(file) != 0 || !written) {
        reportFileError(errors, "writing the output file", fileName);
        return false;
    }
    return true;
}

// All or nothing: the dump is read into fresh containers and taken over only when it proved
// complete, so a cut-off or damaged file never leaves half its records behind.
bool MaterialStatistics::readDump(const char* fileName, std::FILE* errors) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        reportFileError(errors, "opening the input file", fileName);
        return false;
    }
    DumpReader in(file);
    std::set<std::uint64_t> newGames;
    std::map<std::uint64_t, MaterialPositionRecord> newPositions;
    const char* problem = nullptr;
    std::uint32_t gameCount = 0, positionCount = 0;
    if (!in.get32(gameCount)) problem = "is empty or truncated";
    for (std::uint32_t i = 0; problem == nullptr && i < gameCount; ++i) {
        std::uint64_t signature;
        if (!in.get64(signature)) {
            problem = "is truncated in its game signatures";
        } else {
            newGames.insert(signature);
        }
    }
    if (problem == nullptr && !in.get32(positionCount)) problem = "is truncated before its position count";
    for (std::uint32_t i = 0; problem == nullptr && i < positionCount; ++i) {
        std::uint64_t key;
        MaterialPositionRecord record;
        if (!readRecord(in, key, record)) {
            problem = "is truncated in its position records";
        } else if (!isClassKey(record.materialKey)) {
            problem = "holds a record without a valid material class";
        } else {
            newPositions[key] = record;
        }
    }
    if (problem == nullptr && !in.atEnd()) problem = "has bytes beyond its last record";
    std::fclose(file);
    if (problem != nullptr) {
        std::fprintf(errors, "info string material dump %s %s: nothing read\n", fileName, problem);
        std::fflush(errors);
        return false;
    }
    games = std::move(newGames);
    for (const auto& [key, record] : newPositions) positions[key] = record;
    return true;
}

}  // namespace zelmora
