#pragma once

#include <vector>

#include "link/PortDirectory.h"

namespace quillane::test {

// A fixed port list; counts how often the console asked for it.
class FakePortDirectory : public PortDirectory {
public:
    std::vector<PortEntry> EnumerateComPorts() override {
        ++enumerations;
        return entries;
    }
    // The numbers of the entries, available or not, without a probe.
    std::vector<int> ListPortNumbers() override {
        ++listings;
        std::vector<int> numbers;
        for (const PortEntry& e : entries) numbers.push_back(e.number);
        return numbers;
    }
    PortEntry Describe(int number) override {
        for (PortEntry e : entries) {
            if (e.number != number) continue;
            e.available = false;
            return e;
        }
        return PortDirectory::Describe(number);
    }

    std::vector<PortEntry> entries;
    int enumerations = 0;
    int listings = 0;
};

}  // namespace quillane::test
