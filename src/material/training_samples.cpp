#include "material/training_samples.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "util/file_error.h"

namespace zelmora {

namespace {

constexpr double MIN_WEIGHT_SUM = 300000;
constexpr std::uint32_t CODE_LIMIT = 1u << 20;
// A written line is about 70 characters; anything much longer is not one of them.
constexpr int LINE_LIMIT = 256;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Whitespace-separated fields, each parsed in full so that "12x" is an error rather than 12.
class Fields {
public:
    explicit Fields(const char* line) : next_(line) {}

    template <typename T>
    bool read(T& value, int base = 10) {
        const char* begin;
        const char* end;
        if (!token(begin, end)) return false;
        std::from_chars_result result;
        if constexpr (std::is_floating_point_v<T>) {
            if (*begin == '+') ++begin;  // scanf allows it, from_chars does not
            result = std::from_chars(begin, end, value);
        } else {
            result = std::from_chars(begin, end, value, base);
        }
        return result.ec == std::errc() && result.ptr == end;
    }

private:
    bool token(const char*& begin, const char*& end) {
        while (*next_ != '\0' && isSpace(*next_)) ++next_;
        begin = next_;
        while (*next_ != '\0' && !isSpace(*next_)) ++next_;
        end = next_;
        return begin != end;
    }

    const char* next_;
};

// Queens, rooks, bishops, knights, pawns from a code with pawns in the lowest four bits.
void decode(std::uint32_t code, int counts[5]) {
    for (int type = 0; type < 5; ++type) counts[type] = int((code >> (4 * (4 - type))) & 15);
}

bool isBlank(const char* line) {
    for (; *line != '\0'; ++line)
        if (!isSpace(*line)) return false;
    return true;
}

}  // namespace

double materialTrainingTarget(double p, double a, double r) {
    const double impliedElo = -400.0 * std::log10(1.0 / p - 1.0);
    const double e = (impliedElo - a) / (1.0 + 0.00004 * r * r);
    return 1.0 / (1.0 + std::pow(10.0, -e / 400.0));
}

double materialTrainingWeight(double p, double w) {
    const double a = (w - MIN_WEIGHT_SUM) * 0.0000125 + 0.001;
    const double b = std::sqrt(w / 1000.0) - std::sqrt(300.0) + 0.001;
    return 4.0 * p * (1.0 - p) / (1.0 / a + 1.0 / b);
}

bool isRejectedMaterialPair(std::uint32_t leading, std::uint32_t other) {
    const std::uint32_t l = leading, o = other;
    if (l == 0x20 && (o == 0 || o == 1)) return true;
    if (o == 0x10000 && (l == 0x10100 || l == 0x10010)) return true;
    if (l == 0x110 && o == 0) return true;
    if (l == 0x1000 && (o == 0x10 || o == 0x11 || o == 0x20 || o == 0x100 || o == 0x101 || o == 0x110 || o == 0x200))
        return true;
    if ((l == 0x1100 || l == 0x1010) && (o == 0x1000 || o == 0x1001)) return true;
    if (l != 0 && (l & ~0xFu) == 0 && o == 0) return true;  // pawns against a bare king
    if ((l == 0x20 || l == 0x110 || l == 0x200) && (o == 0x10 || o == 0x100)) return true;
    if (l == 0x100 && o == 0x20) return true;
    if (o == 0 && l != 0 && (l & (l - 1)) == 0) return true;  // a single man against a bare king
    return false;
}

TrainingLine parseTrainingLine(const char* line, MaterialSample& sample) {
    Fields fields(line);
    std::uint32_t leading = 0, other = 0;
    int relation = 0, balance = 0;
    double p = 0, w = 0, a = 0, r = 0;
    if (!fields.read(leading, 16) || !fields.read(other, 16) || !fields.read(relation) || !fields.read(balance) ||
        !fields.read(p) || !fields.read(w) || !fields.read(a) || !fields.read(r))
        return TrainingLine::Malformed;

    if (leading >= CODE_LIMIT || other >= CODE_LIMIT) return TrainingLine::Rejected;
    if (!std::isfinite(p) || !std::isfinite(w) || !std::isfinite(a) || !std::isfinite(r)) return TrainingLine::Rejected;
    if (!(w >= MIN_WEIGHT_SUM && p >= 0.005 && p <= 0.995)) return TrainingLine::Rejected;
    // The games' advantage must not contradict the material: such configurations say more about
    // the players than about the pieces.
    if (!((a >= -250 || balance < 1) && (a <= 250 || balance > -1))) return TrainingLine::Rejected;
    if (isRejectedMaterialPair(leading, other)) return TrainingLine::Rejected;

    const double target = materialTrainingTarget(p, a, r);
    const double weight = materialTrainingWeight(p, w);
    if (!std::isfinite(target) || !std::isfinite(weight)) return TrainingLine::Rejected;

    decode(leading, sample.own);
    decode(other, sample.other);
    sample.x = relation > 0 ? 1 : relation < 0 ? -1 : 0;
    sample.target = target;
    sample.weight = weight;
    return TrainingLine::Accepted;
}

int readTrainingFile(const char* name, MaterialSampleSet& set, std::FILE* messages) {
    std::FILE* file = std::fopen(name, "r");
    if (!file) {
        reportFileError(messages, "opening the input file", name);
        return 0;
    }
    int added = 0;
    long lineNumber = 0, rejected = 0;
    char line[LINE_LIMIT];
    while (std::fgets(line, sizeof line, file)) {
        ++lineNumber;
        const std::size_t length = std::strlen(line);
        bool overlong = false;
        if (length + 1 == sizeof line && line[length - 1] != '\n') {
            overlong = true;
            for (int c; (c = std::fgetc(file)) != EOF && c != '\n';) {
            }
        }
        MaterialSample sample;
        const TrainingLine kind = overlong ? TrainingLine::Malformed : parseTrainingLine(line, sample);
        if (kind == TrainingLine::Malformed) {
            // A blank last line is the file's ordinary end, not worth a message.
            if (overlong || !isBlank(line))
                std::fprintf(messages, "info string %s line %ld is not a training line; reading stops there\n", name,
                             lineNumber);
            break;
        }
        if (kind == TrainingLine::Rejected) {
            ++rejected;
            continue;
        }
        set.samples.push_back(sample);
        set.weightSum += sample.weight;
        ++added;
    }
    std::fclose(file);
    std::fprintf(messages, "info string %d training samples from %s, %ld lines not used\n", added, name, rejected);
    return added;
}

}  // namespace zelmora
