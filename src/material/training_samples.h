#pragma once
// Training samples of the material network, read from the material statistics file: one line
// per material configuration, "%05x %05x %2d %3d %8.6f %10ld %10.3f %6.1f" = leading side's
// code, other side's code (four bits per piece type, pawns lowest, queens highest), bishop
// relation, balance in pawns, score fraction p, weight sum w, mean advantage a, mean remaining
// length r.

#include <cstdint>
#include <cstdio>
#include <vector>

namespace zelmora {

struct MaterialSample {
    int own[5];    // the leading side: queens, rooks, bishops, knights, pawns
    int other[5];  // the same for the other side
    int x;         // -1 opposite-coloured bishops, +1 same-coloured, else 0
    double target;  // the leading side's winning expectation
    double weight;
};

struct MaterialSampleSet {
    std::vector<MaterialSample> samples;
    double weightSum = 0;
};

// The expectation the statistics imply once the advantage a the games already had is taken
// out; long remaining games pull it toward 0.5.
double materialTrainingTarget(double p, double a, double r);
// 0 near p = 0 and p = 1, growing with the weight sum w from 300000 on.
double materialTrainingWeight(double p, double w);
// Configurations whose statistics mislead (mostly draws that are counted as wins of the stronger side).
bool isRejectedMaterialPair(std::uint32_t leading, std::uint32_t other);

enum class TrainingLine { Accepted, Rejected, Malformed };
TrainingLine parseTrainingLine(const char* line, MaterialSample& sample);

// Appends the accepted lines of the file to the set and returns how many it added. Reading stops
// at the first line that does not hold the eight fields; problems go to `messages` as
// "info string " lines.
int readTrainingFile(const char* name, MaterialSampleSet& set, std::FILE* messages);

}  // namespace zelmora
