#pragma once
// Fits a material network to training samples by full-batch resilient propagation. Training
// alternates long full phases over every sample with short sparse phases over part of them,
// which shake the weights out of a flat stretch; only networks found in full phases are saved.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "material/training_samples.h"

namespace zelmora {

class Network;
class RandomGenerator;

struct MaterialTrainingFiles {
    std::string network = "materialwerte.txt";  // every improved network, overwritten
    std::string log = "NeuroLrn.txt";           // created anew, one line per 100 epochs
};

class MaterialTrainer {
public:
    // The network must have the material network's 12 inputs. The log is created at once.
    MaterialTrainer(Network& network, const MaterialSampleSet& set, RandomGenerator& random,
                    MaterialTrainingFiles files = {}, std::FILE* messages = stderr);
    ~MaterialTrainer();
    MaterialTrainer(const MaterialTrainer&) = delete;
    MaterialTrainer& operator=(const MaterialTrainer&) = delete;

    // One epoch: gradient over the phase's samples, save rule, weight update, log line, phase change.
    // Returns the epoch error of the weights the epoch started with.
    double runEpoch();

    // The parts of an epoch. computeGradient replaces the gradient with the descent direction
    // (minus the derivative of the epoch error) over the selected samples and returns the error.
    double computeGradient();
    void updateWeights();
    void beginFullPhase();
    void beginSparsePhase();

    const std::vector<double>& gradient() const { return gradient_; }
    const std::vector<std::uint32_t>& selection() const { return selection_; }  // ascending sample indices
    bool sparse() const { return sparse_; }
    long phaseLength() const { return phaseEnd_ - phaseStart_; }
    long epoch() const { return epoch_; }
    double bestError() const { return bestError_; }

private:
    double trainOrientation(const int own[5], const int other[5], int x, double target, double share);
    double uniform(double low, double high);
    bool saveNetwork();
    void logLine(char marker, double error);

    Network& network_;
    const MaterialSampleSet& set_;
    RandomGenerator& random_;
    MaterialTrainingFiles files_;
    std::FILE* messages_;
    std::FILE* log_ = nullptr;

    std::uint32_t hiddenBegin_, hiddenEnd_, outputUnit_;
    std::vector<double> delta_;  // per unit: the back-propagated error of the current sample
    std::vector<double> gradient_, step_, direction_;  // per connection

    std::vector<std::uint32_t> selection_;
    bool sparse_ = false;
    long phaseStart_ = 0, phaseEnd_ = 0;
    long epoch_ = 0, lastSave_ = 0;
    double bestError_ = 9999999.9;
    double rate_ = 0.00001;  // only reported: the log's second column
    std::int64_t startMs_;
};

}  // namespace zelmora
