#pragma once

#include <cstddef>
#include <cstdint>

namespace quillane {

// Fills `out` with `size` bytes from the operating system's random source for
// keys (getrandom on Linux, the system's preferred generator on Windows): what
// a view's address token is made of, which no one on the network may guess.
// False when the source failed; `out` is then not to be used.
bool FillSecureRandom(std::uint8_t* out, std::size_t size);

}  // namespace quillane
