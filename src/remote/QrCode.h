#pragma once

#include <string>
#include <vector>

namespace quillane {

// A text as a QR code: `size` x `size` modules, row by row, true for dark.
// Medium error correction, so that a phone reads it off a screen at an angle.
// Empty (size 0) for a text too long for any QR code.
struct QrModules {
    int size = 0;
    std::vector<bool> dark;
    bool At(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)]; }
};
QrModules QrModulesFor(const std::string& text);

}  // namespace quillane
