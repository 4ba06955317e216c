#pragma once

#include <cstdint>

namespace quillane {

struct DetectorModel;

// Holds back signal words for a few frames after a jump of more than a tenth,
// so that one spike does not swing the signal bar back and forth. It compares
// the two signal words already stored, not the new one. Its counter outlives
// every loss of the link.
class FluctuationFilter {
public:
    // Whether the new code-1 word is to be stored; moves the counter on.
    bool Take(const DetectorModel& model, std::uint16_t newWord);

    int iMaxTenPercent() const { return maxTenPercent_; }
    void SetMaxTenPercent(int value) { maxTenPercent_ = value; }
    int iTenPercentCounter() const { return counter_; }

private:
    int maxTenPercent_ = 5;
    int counter_ = 0;
};

}  // namespace quillane
