#pragma once

#include "StressTarget.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

/// Drives one target as a demanding host would, with random but reproducible choices:
/// block sizes from 0 and 1 through primes to past the announced maximum, rates from 8 kHz
/// to 384 kHz, sample size switches, dense automation, side-chain bus changes, bypass,
/// activation cycles, state saved and restored mid-stream, and preset changes. After every
/// block it checks the output: finite, bounded by the input and the gains, silent for a
/// silent input, and made without allocating; every restored state must save back exactly.
class StressRun
{
public:
    StressRun(StressTarget& target, uint32_t seed);

    /// Runs `steps` random steps; false at the first fault (Fault() says which).
    bool Run(long steps);
    const std::string& Fault() const { return fault; }
    long Blocks() const { return blocks; }

private:
    bool Step();
    bool Reconfigure();
    bool ProcessBlock();
    bool RoundTripState();
    void Automate();
    int BlockSize();
    bool Failed(const std::string& what);

    StressTarget& target;
    std::mt19937 random;
    double sampleRate = 44100.0;
    int maxBlock = 512;
    bool doubles = false;
    bool sideChain = false;
    long blocks = 0;
    long step = 0;
    std::string fault;
    std::string carried; ///< what the next block carries besides automation, for the report

    std::vector<std::vector<float>> in32, out32;
    std::vector<std::vector<double>> in64, out64;
    std::vector<float*> in32Pointers, out32Pointers;
    std::vector<double*> in64Pointers, out64Pointers;
};
