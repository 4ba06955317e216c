#include "model/CorrespondenceTables.h"

#include "model/Conversions.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"

namespace quillane {

namespace {

constexpr int kSensSteps = 32;  // sensitivity indices 0-31
constexpr int kFirstZone = 2;   // zone indices 2-31 have a column
constexpr int kLastZone = 31;

// One threshold row of the table: its settings section, grid row and default.
struct ThresholdRow {
    const char* section;
    int row;
    double (*fallback)(int);
};
constexpr ThresholdRow kRows[3] = {
    {"PP", 1, DefaultPP}, {"MP", 2, DefaultMP}, {"BP", 3, DefaultBP}};

// The zone table's section: a key a zone, "Dist<zone index>".
constexpr char kDistSection[] = "Dist";

std::string KeyOf(const char* section, int index) { return section + std::to_string(index); }

// The grid column of a sensitivity index; column 0 (the labels) for an index
// without a column, whose cell then does not parse and gives the default. An
// index taken from a hand-edited zone table may be any int.
int SenseColumn(int sensIndex) {
    return sensIndex >= 0 && sensIndex < kSensSteps ? sensIndex + 1 : 0;
}

}  // namespace

CorrespondenceTables::CorrespondenceTables(const NumberFormat& format)
    : sgSense(kSensSteps + 1, 4), sgDist(kLastZone, 2), format_(format) {}

double CorrespondenceTables::ThresholdPP(int sensIndex) const {
    return format_.ParseFloat(sgSense.Cell(SenseColumn(sensIndex), 1))
        .value_or(DefaultPP(sensIndex));
}

double CorrespondenceTables::ThresholdMP(int sensIndex) const {
    return format_.ParseFloat(sgSense.Cell(SenseColumn(sensIndex), 2))
        .value_or(DefaultMP(sensIndex));
}

double CorrespondenceTables::ThresholdBP(int sensIndex) const {
    return format_.ParseFloat(sgSense.Cell(SenseColumn(sensIndex), 3))
        .value_or(DefaultBP(sensIndex));
}

// Zone index 1 lands on the header "Sens" and 0 outside the grid: neither
// parses, so both give the default.
int CorrespondenceTables::DistSens(int zoneIndex) const {
    return NumberFormat::ParseInt(sgDist.Cell(zoneIndex - 1, 1))
        .value_or(DefaultDistSens(zoneIndex));
}

void CorrespondenceTables::Fill(const ProfileFile& file) {
    const char* labels[4] = {"Sens", "  PL", "  LL", "  HL"};
    for (int row = 0; row < 4; ++row) sgSense.SetCell(0, row, labels[row]);
    std::vector<std::string>* lists[3] = {&rangePP_, &rangeMP_, &rangeBP_};
    for (auto* list : lists) list->clear();
    for (int i = 0; i < kSensSteps; ++i) {
        sgSense.SetCell(i + 1, 0, std::to_string(SensToPercent(i)));
        for (int r = 0; r < 3; ++r) {
            const ThresholdRow& t = kRows[r];
            const double v = file.ReadFloat(t.section, KeyOf(t.section, i), t.fallback(i), format_);
            sgSense.SetCell(i + 1, t.row, format_.OneDecimalOptional(v));
            lists[r]->push_back(sgSense.Cell(i + 1, t.row));
        }
    }
    sgDist.SetCell(0, 0, "Zone");
    sgDist.SetCell(0, 1, "Sens");
    for (int z = kFirstZone; z <= kLastZone; ++z) {
        sgDist.SetCell(z - 1, 0, std::to_string(DistToMetres(z)));
        const int sens = file.ReadInteger(kDistSection, KeyOf(kDistSection, z), DefaultDistSens(z));
        sgDist.SetCell(z - 1, 1, std::to_string(sens));
    }
}

bool CorrespondenceTables::Store(ProfileFile& file) const {
    double (CorrespondenceTables::*lookup[3])(int)
        const = {&CorrespondenceTables::ThresholdPP, &CorrespondenceTables::ThresholdMP,
                 &CorrespondenceTables::ThresholdBP};
    for (int i = 0; i < kSensSteps; ++i) {
        for (int r = 0; r < 3; ++r) {
            const ThresholdRow& t = kRows[r];
            if (!file.WriteFloat(t.section, KeyOf(t.section, i), (this->*lookup[r])(i), format_))
                return false;
        }
    }
    for (int z = kFirstZone; z <= kLastZone; ++z) {
        if (!file.WriteInteger(kDistSection, KeyOf(kDistSection, z), DistSens(z))) return false;
    }
    return true;
}

}  // namespace quillane
