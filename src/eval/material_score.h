#pragma once
// The material term: the classical balance blended with the material network's judgement,
// cached per material configuration together with the endgame recognizer for it.

#include <cstdint>
#include <vector>

#include "board/position.h"
#include "neural/material_net.h"
#include "neural/network.h"
#include "options/option_table.h"

namespace zelmora {

class EndgameRecognizer;
class RecognizerRegistry;

class MaterialEvaluator {
public:
    static constexpr int CACHE_SIZE = 8192;
    // What the delta form answers, from the side to move's view, when the recognizer changes.
    static constexpr int RECOGNIZER_CHANGE = 1000000;

    explicit MaterialEvaluator(const RecognizerRegistry& registry);

    // "" or "(internal)" is the embedded network; false (and the old network kept) on failure.
    bool loadNetwork(const char* name);
    void setNeuroMaterial(int percent);  // 0..100; 0 switches the network off
    void setNeuroWidth(int width);       // 1..10000, hundredths of a pawn
    void clear();                        // empties the cache

    // White's view. Plain: the score, which becomes the current score and recognizer. Delta: the
    // score minus the current score, or +-RECOGNIZER_CHANGE (the side to move's gain) when the
    // position's recognizer differs from the current one; the current values stay.
    int score(const Position& pos, bool delta = false);
    int currentScore() const { return currentScore_; }
    const EndgameRecognizer* currentRecognizer() const { return currentRecognizer_; }

    // materialNetOutput on this evaluator's network.
    double materialNet(const int own[5], const int other[5], int x) { return materialNetOutput(network_, own, other, x); }

    const Network& network() const { return network_; }
    int neuroMaterial() const { return neuroMaterial_; }
    int neuroWidth() const { return neuroWidth_; }
    // Takes over another evaluator's network and settings; the cache is cleared.
    void copySettings(const MaterialEvaluator& other);

private:
    struct CacheEntry {
        std::uint32_t key;
        int score;
        const EndgameRecognizer* recognizer;
    };

    // The blended score by exact piece counts, kept across clear(): it depends on nothing but the
    // counts, the network and the settings, and one score costs two forward passes.
    struct BlendEntry {
        std::uint64_t counts;  // 0: empty
        int score;
    };
    static constexpr int BLEND_CACHE_SIZE = 16384;

    int computeScore(const SideRecord& first, const SideRecord& second, int x);
    int blendWithNetwork(const int a[5], const int b[5], int x, int base);
    void forgetBlends();

    const RecognizerRegistry& registry_;
    std::vector<CacheEntry> cache_;
    std::vector<BlendEntry> blends_;
    Network network_;
    int neuroMaterial_ = optionSpec(OptionId::NeuroMaterial).defaultValue;
    int neuroWidth_ = optionSpec(OptionId::NeuroWidth).defaultValue;
    int currentScore_ = 0;
    const EndgameRecognizer* currentRecognizer_ = nullptr;
};

}  // namespace zelmora
