#pragma once

#include <string>
#include <vector>

#include "model/StringGrid.h"

namespace quillane {

class NumberFormat;
class ProfileFile;

// The threshold table (sgSense, 33 x 4) and the zone table (sgDist, 31 x 2) as
// grids of cell texts, and the three threshold item lists of the Settings page.
class CorrespondenceTables {
public:
    explicit CorrespondenceTables(const NumberFormat& format);

    // Lookups parse the cell now; a cell that does not parse gives the default.
    double ThresholdPP(int sensIndex) const;
    double ThresholdMP(int sensIndex) const;
    double ThresholdBP(int sensIndex) const;
    int DistSens(int zoneIndex) const;  // zone index 0 and 1 give DefaultDistSens

    // Items of cbRangePP, cbRangeMP, cbRangeBP: copies of rows 1-3, refreshed
    // only at start-up and on apply.
    const std::vector<std::string>& RangePPItems() const { return rangePP_; }
    const std::vector<std::string>& RangeMPItems() const { return rangeMP_; }
    const std::vector<std::string>& RangeBPItems() const { return rangeBP_; }

    // Start-up: headers, then every value from the file (defaults when missing).
    void Fill(const ProfileFile& file);
    // Apply: write every cell (default for one that does not parse). False at
    // the first write that fails. The grids keep what the user typed and the
    // item lists stay: Fill reads both back once the file holds the values.
    bool Store(ProfileFile& file) const;

    // The cells themselves: the Properties page edits them in place, and
    // every lookup reads them at the moment of use.
    StringGrid sgSense;
    StringGrid sgDist;

private:
    const NumberFormat& format_;
    std::vector<std::string> rangePP_, rangeMP_, rangeBP_;
};

}  // namespace quillane
