#pragma once

// Shared by the pacing benchmarks: a load on the other core, and the exposure figures of a reading.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

// Keeps the other core busy for as long as it lives, so timings are taken on a loaded machine.
class OtherCoreBusy
{
public:
    OtherCoreBusy()
        : m_spinner([this] {
              volatile std::uint64_t x = 0;
              while (m_busy.load(std::memory_order_relaxed))
                  x = x + 1;
          })
    {
    }
    ~OtherCoreBusy()
    {
        m_busy = false;
        m_spinner.join();
    }
    OtherCoreBusy(const OtherCoreBusy &) = delete;
    OtherCoreBusy &operator=(const OtherCoreBusy &) = delete;

private:
    std::atomic<bool> m_busy{true};
    std::thread m_spinner;
};

// How long each piece stayed on screen against the interval it was given. `floorMisses` counts exposures
// shorter than interval - max(1 ms, 10 % of the interval).
struct ExposureStats
{
    int pieces = 0;
    double minExposure = 0; // ms
    double minError = 0;    // smallest exposure - interval
    double p1Error = 0;     // 1st percentile of exposure - interval
    double meanError = 0;   // mean of exposure - interval
    int floorMisses = 0;
};

// onsets[i] is when piece i appeared; piece i was asked to stay intervals[i] ms (the last onset only closes
// the piece before it).
inline ExposureStats exposureStats(const std::vector<double> &onsets, const std::vector<double> &intervals)
{
    ExposureStats s;
    std::vector<double> errors;
    double minExposure = 1e300;
    for (std::size_t i = 0; i + 1 < onsets.size() && i < intervals.size(); ++i) {
        const double exposure = onsets[i + 1] - onsets[i];
        const double error = exposure - intervals[i];
        errors.push_back(error);
        minExposure = std::min(minExposure, exposure);
        const double slack = std::max(1.0, intervals[i] / 10.0);
        if (exposure < intervals[i] - slack)
            ++s.floorMisses;
    }
    if (errors.empty())
        return s;
    s.pieces = static_cast<int>(errors.size());
    s.minExposure = minExposure;
    double sum = 0;
    for (double e : errors)
        sum += e;
    s.meanError = sum / static_cast<double>(errors.size());
    std::sort(errors.begin(), errors.end());
    s.minError = errors.front();
    s.p1Error = errors[errors.size() / 100];
    return s;
}
