#include "eval/material_score.h"

#include <algorithm>
#include <cmath>

#include "board/bitboard.h"
#include "eval/eval_weights.h"
#include "eval/recognizer.h"

namespace zelmora {

namespace {

using namespace weights;

// Indexed by: bit 0 White has a light-squared bishop, bit 1 a dark-squared one, bits 2 and 3
// the same for Black. 0 no bishop relation, 1 opposite colours, 2 same colour, 3 mixed.
constexpr int BISHOP_CODE[16] = {0, 0, 0, 0, 0, 2, 1, 3, 0, 1, 2, 3, 0, 3, 3, 3};
// Cache key constants for x = -1, 0, +1.
constexpr std::uint32_t BISHOP_KEY[3] = {0x8AF732DA, 0xBF753D1D, 0xF339E5F6};

int bishopCode(const SideRecord& first, const SideRecord& second) {
    const Bitboard a = first.pieces[BISHOP], b = second.pieces[BISHOP];
    const int index = ((a & LIGHT_SQUARES) ? 1 : 0) | ((a & DARK_SQUARES) ? 2 : 0) |
                      ((b & LIGHT_SQUARES) ? 4 : 0) | ((b & DARK_SQUARES) ? 8 : 0);
    return BISHOP_CODE[index];
}

// Queens, rooks, bishops, knights, pawns: the order the network's inputs use.
void counts(const SideRecord& side, int out[5]) {
    out[0] = side.count[QUEEN];
    out[1] = side.count[ROOK];
    out[2] = side.count[BISHOP];
    out[3] = side.count[KNIGHT];
    out[4] = side.count[PAWN];
}

constexpr double EVEN_CHANCES = 0.5;
constexpr double SCORE_PER_PAWN = PIECE_VALUE[PAWN];
constexpr double HALF_SUM_IN_PAWNS = 0.5 / SCORE_PER_PAWN;  // the mean of two scores, in pawns
constexpr double HUNDREDTH = 0.01;                         // for percentages and hundredths of a pawn

// A winning expectation as a score: an Elo-style logit at ELO_PER_PAWN.
int logitScore(double p) {
    if (std::isnan(p)) p = EVEN_CHANCES;  // only a file with absurd weights gets here
    p = std::clamp(p, NET_EXPECTATION_MIN, NET_EXPECTATION_MAX);
    return int(-ELO_LOGISTIC_SCALE * std::log10(1.0 / p - 1.0) * SCORE_PER_PAWN / ELO_PER_PAWN);
}

}  // namespace

MaterialEvaluator::MaterialEvaluator(const RecognizerRegistry& registry)
    : registry_(registry), cache_(CACHE_SIZE), currentRecognizer_(registry.defaultRecognizer()) {
    network_.loadNetwork("");
    clear();
}

bool MaterialEvaluator::loadNetwork(const char* name) {
    Network candidate;
    if (!candidate.loadNetwork(name ? name : "")) return false;
    // Any other shape would be fed inputs it was not trained on, or none at all.
    if (candidate.inputCount() != MATERIAL_NET_INPUTS || candidate.outputCount() < 1) return false;
    network_ = std::move(candidate);
    return true;
}

void MaterialEvaluator::copySettings(const MaterialEvaluator& other) {
    network_ = other.network_;
    neuroMaterial_ = other.neuroMaterial_;
    neuroWidth_ = other.neuroWidth_;
    clear();
}

void MaterialEvaluator::setNeuroMaterial(int percent) { neuroMaterial_ = std::clamp(percent, 0, 100); }
void MaterialEvaluator::setNeuroWidth(int width) { neuroWidth_ = std::clamp(width, 1, 10000); }

void MaterialEvaluator::clear() {
    // A key whose low bits differ from the slot's index can never be looked up there.
    for (int i = 0; i < CACHE_SIZE; ++i) cache_[i] = {std::uint32_t(i) ^ 1, 0, nullptr};
}

int MaterialEvaluator::score(const Position& pos, bool delta) {
    const SideRecord& white = pos.side(WHITE);
    const SideRecord& black = pos.side(BLACK);
    const int c = bishopCode(white, black);
    const int x = (c >> 1) - (c & 1);
    const std::uint32_t key = white.materialKey ^ black.materialKey ^ BISHOP_KEY[x + 1];
    CacheEntry& entry = cache_[key % CACHE_SIZE];
    if (entry.key != key) {
        entry.key = key;
        entry.score = computeScore(white, black, x);
        entry.recognizer = registry_.select(pos);
    }
    if (!delta) {
        currentScore_ = entry.score;
        currentRecognizer_ = entry.recognizer;
        return entry.score;
    }
    if (entry.recognizer != currentRecognizer_) return pos.whiteToMove() ? RECOGNIZER_CHANGE : -RECOGNIZER_CHANGE;
    return entry.score - currentScore_;
}

int MaterialEvaluator::computeScore(const SideRecord& first, const SideRecord& second, int x) {
    int a[5], b[5];
    counts(first, a);
    counts(second, b);
    if (std::equal(a, a + 5, b)) return 0;

    const int sumA = first.materialSum, sumB = second.materialSum;
    int base = (sumA - sumB) + MATERIAL_RATIO_WEIGHT * (sumA - sumB) / (sumA + sumB + MATERIAL_SUM_OFFSET);
    if (first.count[BISHOP] > 1) base += BISHOP_PAIR;
    if (second.count[BISHOP] > 1) base -= BISHOP_PAIR;
    if (neuroMaterial_ < 1) return base;

    // Both orders and the halved difference keep the net's judgement antisymmetric.
    const int net = (logitScore(materialNet(a, b, x)) - logitScore(materialNet(b, a, x))) / 2;
    // The net weighs most when the position is balanced: d is the mean of both views in pawns.
    const double d = (base + net) * HALF_SUM_IN_PAWNS;
    const double w = neuroWidth_ * HUNDREDTH;
    const double k = (neuroMaterial_ * HUNDREDTH) * w * w / (w * w + d * d);
    return int((1.0 - k) * base + k * net);
}

}  // namespace zelmora
