#pragma once

#include <string>

namespace quillane {

struct DetectorModel;
struct RecordEntry;

// Who a detector is, as the site record names it: model, program version,
// unit letter ("F1".."F4") and address. The letter and the address are
// settings the installer may change during a visit.
struct DetectorIdentity {
    std::string model;
    int version = 0;
    std::string unit;
    int address = 0;

    bool operator==(const DetectorIdentity& o) const {
        return model == o.model && version == o.version && unit == o.unit && address == o.address;
    }
    bool operator!=(const DetectorIdentity& o) const { return !(*this == o); }
};

// From the stored identity word.
DetectorIdentity IdentityOf(const DetectorModel& m);
// From a "detected" or "link_lost" line; an old "link_lost" line without
// them gives an empty model.
DetectorIdentity IdentityOf(const RecordEntry& e);

}  // namespace quillane
