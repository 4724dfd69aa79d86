#include "material/training.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <utility>

#include "neural/material_net.h"
#include "neural/network.h"
#include "util/platform.h"
#include "util/random.h"

namespace zelmora {

namespace {

// Tiny, so that the first epochs only find out which way each weight should go.
constexpr double INITIAL_STEP = 1e-9;
constexpr double MIN_STEP = 1e-12;
constexpr double MAX_STEP = 0.1;
constexpr double WEIGHT_LIMIT = 19.9999999;
constexpr long EPOCHS_BETWEEN_SAVES = 100;
constexpr long EPOCHS_PER_LOG_LINE = 100;
constexpr std::uint32_t FEW_SAMPLES = 300;
constexpr std::uint32_t MIN_SUBSET = 200;
constexpr std::uint32_t STRIDES[16] = {7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61, 67};

}  // namespace

MaterialTrainer::MaterialTrainer(Network& network, const MaterialSampleSet& set, RandomGenerator& random,
                                 MaterialTrainingFiles files, std::FILE* messages)
    : network_(network),
      set_(set),
      random_(random),
      files_(std::move(files)),
      messages_(messages),
      hiddenBegin_(network.layerBegin(1)),
      hiddenEnd_(network.layerBegin(network.layerCount() - 1)),
      outputUnit_(hiddenEnd_),
      delta_(network.unitCount(), 0.0),
      gradient_(network.connectionCount(), 0.0),
      step_(network.connectionCount(), INITIAL_STEP),
      direction_(network.connectionCount(), 1.0),
      startMs_(systemMilliseconds()) {
    log_ = std::fopen(files_.log.c_str(), "w");
    if (!log_) std::fprintf(messages_, "info string cannot create %s, training goes on without a log\n", files_.log.c_str());
    beginFullPhase();
}

MaterialTrainer::~MaterialTrainer() {
    if (log_) std::fclose(log_);
}

double MaterialTrainer::runEpoch() {
    ++epoch_;
    const double error = computeGradient();
    bool saved = false;
    // Sparse phases fit part of the data only; their networks are not kept. The file is written
    // before the update, so that it holds the very weights the error was measured with.
    if (!sparse_ && epoch_ - lastSave_ >= EPOCHS_BETWEEN_SAVES && error < bestError_) {
        saveNetwork();
        bestError_ = error;
        lastSave_ = epoch_;
        saved = true;
    }
    updateWeights();
    if ((epoch_ - lastSave_) % EPOCHS_PER_LOG_LINE == 0) logLine(saved ? '*' : sparse_ ? 'X' : ' ', error);
    if (epoch_ >= phaseEnd_) {
        if (sparse_)
            beginFullPhase();
        else
            beginSparsePhase();
        rate_ = 0.001;
    }
    return error;
}

double MaterialTrainer::computeGradient() {
    std::fill(gradient_.begin(), gradient_.end(), 0.0);
    const double total = set_.weightSum;
    if (!(total > 0)) return 0.0;
    double squaredError = 0;
    for (const std::uint32_t index : selection_) {
        const MaterialSample& s = set_.samples[index];
        const double share = s.weight / total;  // of the whole set, in sparse phases too
        // Both points of view, so that the network learns to be antisymmetric.
        squaredError += s.weight * trainOrientation(s.own, s.other, s.x, s.target, share);
        squaredError += s.weight * trainOrientation(s.other, s.own, s.x, 1.0 - s.target, share);
    }
    return squaredError / (2.0 * total);
}

// One forward and backward pass; adds share * (t - output) * d(output)/d(weight) to the gradient
// and returns the squared error.
double MaterialTrainer::trainOrientation(const int own[5], const int other[5], int x, double target, double share) {
    Network& net = network_;
    const double difference = target - materialNetOutput(net, own, other, x);
    delta_[outputUnit_] = difference * share;  // further output units are not trained and keep 0
    for (std::uint32_t u = hiddenEnd_; u-- > hiddenBegin_;) {
        double back = 0;
        for (std::uint32_t c = net.connectionBegin(u); c < net.connectionEnd(u); ++c)
            back += net.weight(c) * delta_[net.target(c)];
        const double out = net.unitOutput(u);
        delta_[u] = back * out * (1.0 - out);
    }
    for (std::uint32_t u = 0; u < hiddenEnd_; ++u) {
        const double out = net.unitOutput(u);
        if (out == 0.0) continue;  // absent piece types teach nothing
        for (std::uint32_t c = net.connectionBegin(u); c < net.connectionEnd(u); ++c)
            gradient_[c] += out * delta_[net.target(c)];
    }
    return difference * difference;
}

// Resilient propagation: a step grows while its weight keeps moving the same way and shrinks and
// turns when the gradient disagrees (the direction remembers the last gradient's sign, so the
// gradient itself need not be kept). The random factors keep weights from locking into a cycle.
void MaterialTrainer::updateWeights() {
    for (std::uint32_t c = 0; c < gradient_.size(); ++c) {
        if (direction_[c] * gradient_[c] > 0) {
            step_[c] = std::min(step_[c] * uniform(1.15, 1.2), MAX_STEP);
        } else {
            direction_[c] = -direction_[c];
            step_[c] = std::max(step_[c] * uniform(0.45, 0.5), MIN_STEP);
        }
        gradient_[c] = 0;
        double& weight = network_.weight(c);
        weight += direction_[c] * step_[c];
        if (weight > WEIGHT_LIMIT || weight < -WEIGHT_LIMIT) {
            weight = std::clamp(weight, -WEIGHT_LIMIT, WEIGHT_LIMIT);
            step_[c] = MIN_STEP;
        }
    }
}

void MaterialTrainer::beginFullPhase() {
    const std::uint32_t n = std::uint32_t(set_.samples.size());
    sparse_ = false;
    selection_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) selection_[i] = i;
    phaseStart_ = epoch_;
    phaseEnd_ = epoch_ + 125000 + long(random_.below(75001));
}

void MaterialTrainer::beginSparsePhase() {
    const std::uint32_t n = std::uint32_t(set_.samples.size());
    sparse_ = true;
    selection_.clear();
    phaseStart_ = epoch_;
    if (n < FEW_SAMPLES || random_.below(100) < 40) {
        phaseEnd_ = epoch_ + 1000 + long(random_.below(501));
        const std::uint32_t offset = random_.below(10000);
        const std::uint32_t first = STRIDES[random_.below(16)], second = STRIDES[random_.below(16)];
        for (std::uint32_t i = 0; i < n; ++i)
            if ((i + offset) % first != 0 && (i + offset) % second != 0) selection_.push_back(i);
        return;
    }
    phaseEnd_ = epoch_ + 800 + long(random_.below(401));
    // A random subset rather than a prefix: the file is sorted by material, so a prefix would
    // drop whole families of configurations.
    const std::uint32_t count = MIN_SUBSET + random_.below(n - MIN_SUBSET);
    std::vector<std::uint32_t> order(n);
    for (std::uint32_t i = 0; i < n; ++i) order[i] = i;
    for (std::uint32_t k = 0; k < count; ++k) std::swap(order[k], order[k + random_.below(n - k)]);
    selection_.assign(order.begin(), order.begin() + count);
    std::sort(selection_.begin(), selection_.end());
}

double MaterialTrainer::uniform(double low, double high) {
    return low + (high - low) * (random_.next() / 4294967296.0);
}

// Written beside the target and renamed over it, so that a reader never sees half a network.
bool MaterialTrainer::saveNetwork() {
    const std::string temporary = files_.network + ".tmp";
    bool written;
    {
        std::ofstream out(temporary, std::ios::trunc);
        written = out && network_.writeNetwork(out);
        if (written) {
            out.close();
            written = bool(out);
        }
    }
    if (written && std::rename(temporary.c_str(), files_.network.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    std::fprintf(messages_, "info string cannot write %s\n", files_.network.c_str());
    return false;
}

void MaterialTrainer::logLine(char marker, double error) {
    if (!log_) return;
    // The elapsed time in seconds.
    const long seconds = long((systemMilliseconds() - startMs_) / 1000);
    std::fprintf(log_, "%c%6ld %7.5f %10.7f %5ld\n", marker, epoch_, rate_, error, seconds);
    std::fflush(log_);
}

}  // namespace zelmora
