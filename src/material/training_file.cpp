// "mat write": the training file of the material network, one line per material class.

#include <cmath>

#include "material/statistics.h"
#include "util/file_error.h"

namespace zelmora {

namespace {

// A position seen in many games must not outweigh the rest: beyond one game's worth its weight
// grows ever more slowly towards 2500.
double foldFactor(std::int32_t weightSum) {
    if (weightSum <= 1000) return 1.0;
    const double x = weightSum * 0.001;
    return -2.5 * (std::pow(0.6, x) - 1.0) / x;
}

// Material of one side's code in pawns: 9 per queen, 5 per rook, 3 per minor piece, 1 per pawn.
int pawnsOf(std::uint32_t code) {
    static constexpr int VALUE[5] = {1, 3, 3, 5, 9};
    int sum = 0;
    for (int type = 0; type < 5; ++type) sum += int((code >> (4 * type)) & 15) * VALUE[type];
    return sum;
}

}  // namespace

void MaterialStatistics::foldPositions() {
    for (const auto& [positionKey, r] : positions) {
        const double f = foldFactor(r.weightSum);
        MaterialClassRecord& c = classes[r.materialKey];
        c.advantageSum += f * r.advantageSum;
        c.pointsSum += f * r.pointsSum;
        c.weightSum += f * r.weightSum;
        c.remainingSum += f * r.remainingSum;
    }
    // Folded once: a second write must not count them again.
    positions.clear();
}

bool MaterialStatistics::writeTrainingFile(const char* fileName, std::FILE* errors) {
    foldPositions();
    std::FILE* out = std::fopen(fileName, "w");
    if (out == nullptr) {
        reportFileError(errors, "opening the output file", fileName);
        return false;
    }
    for (const auto& [key, c] : classes) {
        const double w = c.weightSum;
        if (w == 0.0) continue;
        const auto strong = std::uint32_t(key >> 24 & 0xFFFFF), weak = std::uint32_t(key >> 4 & 0xFFFFF);
        const int bishops = int(key >> 1 & 1) - int(key & 1);
        std::fprintf(out, "%05x %05x %2d %3d %8.6f %10ld %10.3f %6.1f\n", strong, weak, bishops,
                     pawnsOf(strong) - pawnsOf(weak), c.pointsSum / w, long(w), c.advantageSum / w, c.remainingSum / w);
    }
    const bool written = !std::ferror(out);
    if (std::fclose(out) != 0 || !written) {
        reportFileError(errors, "writing the output file", fileName);
        return false;
    }
    return true;
}

}  // namespace zelmora
