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

    std::vector<PortEntry> entries;
    int enumerations = 0;
};

}  // namespace quillane::test
