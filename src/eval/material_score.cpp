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
    : registry_(registry), cache_(CACHE_SIZE), blends_(BLEND_CACHE_SIZE), currentRecognizer_(registry.defaultRecognizer()) {
    network_.loadNetwork("");
    clear();
}

bool MaterialEvaluator::loadNetwork(const char* name) {
    Network candidate;
    if (!candidate.loadNetwork(name ? name : "")) return false;
    // Any other shape would be fed inputs it was not trained on, or none at all.
    if (candidate.inputCount() != MATERIAL_NET_INPUTS || candidate.outputCount() < 1) return false;
    network_ = std::move(candidate);
    forgetBlends();
    return true;
}

void MaterialEvaluator::copySettings(const MaterialEvaluator& other) {
    network_ = other.network_;
    neuroMaterial_ = other.neuroMaterial_;
    neuroWidth_ = other.neuroWidth_;
    forgetBlends();
    clear();
}

void MaterialEvaluator::setNeuroMaterial(int percent) {
    neuroMaterial_ = std::clamp(percent, 0, 100);
    forgetBlends();
}
void MaterialEvaluator::setNeuroWidth(int width) {
    neuroWidth_ = std::clamp(width, 1, 10000);
    forgetBlends();
}

void MaterialEvaluator::forgetBlends() { std::fill(blends_.begin(), blends_.end(), BlendEntry{0, 0}); }

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

    return blendWithNetwork(a, b, x, base);
}

int MaterialEvaluator::blendWithNetwork(const int a[5], const int b[5], int x, int base) {
    // Five bits per count, x + 1 in two more, and a top bit that keeps every used key apart from
    // the empty one. A count that does not fit (only a set-up position can have one) goes uncached.
    constexpr int COUNT_BITS = 5;
    std::uint64_t counts = std::uint64_t(x + 1);
    int any = 0;
    for (int i = 0; i < 5; ++i) {
        counts = counts << 2 * COUNT_BITS | std::uint64_t(a[i]) << COUNT_BITS | std::uint64_t(b[i]);
        any |= a[i] | b[i];
    }
    counts |= std::uint64_t(1) << 63;
    constexpr std::uint64_t SPREAD = 0x9E3779B97F4A7C15ULL;
    constexpr int INDEX_SHIFT = 64 - 14;
    static_assert(BLEND_CACHE_SIZE == 1 << (64 - INDEX_SHIFT));
    BlendEntry scratch{0, 0};
    BlendEntry& entry = any < (1 << COUNT_BITS) ? blends_[std::size_t((counts * SPREAD) >> INDEX_SHIFT)] : scratch;
    if (entry.counts == counts) return entry.score;

    // Both orders and the halved difference keep the net's judgement antisymmetric.
    const int net = (logitScore(materialNet(a, b, x)) - logitScore(materialNet(b, a, x))) / 2;
    // The net weighs most when the position is balanced: d is the mean of both views in pawns.
    const double d = (base + net) * HALF_SUM_IN_PAWNS;
    const double w = neuroWidth_ * HUNDREDTH;
    const double k = (neuroMaterial_ * HUNDREDTH) * w * w / (w * w + d * d);
    entry = {counts, int((1.0 - k) * base + k * net)};
    return entry.score;
}

}  // namespace zelmora
