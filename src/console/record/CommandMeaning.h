#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillane {

class CorrespondenceTables;

// What a run of command words asks of the detector, in the installer's words
// and units, for the site record: "PL 25.5  %, address 9, normal mode; LL
// 27.5  %, HL 37.5  %, unit F2; speeds 0.2...6  m/s, zone 100  m, setup method
// Auto". Words go in the order the transmit pass sends them (code 0, 1, 2);
// when the run sets all three thresholds to one index, its sensitivity comes
// first ("sensitivity 80  %; ...").
std::string CommandMeaning(const std::vector<std::uint16_t>& words,
                           const CorrespondenceTables& tables);

// "0x098A 0x2C2E 0x4C5B": the words themselves, for service work.
std::string CommandWordsText(const std::vector<std::uint16_t>& words);

// A threshold percentage as the record and the report show it: at most one
// decimal, none for a whole number ("25.5", "12").
std::string ThresholdText(double percent);

}  // namespace quillane
