#pragma once

namespace quillane {

// Values of the code-2 word's `state` ("Mode:") and the code-4 word's `regul`
// ("Setup method:"); `regul` 3 is Auto as well, with the defaults the console
// applies at detection.
namespace detector {
constexpr unsigned kStateNormal = 0;
constexpr unsigned kStateAlarm = 1;
constexpr unsigned kStateCalibration = 2;
constexpr unsigned kRegulManual = 0;
constexpr unsigned kRegulSpecial = 1;
constexpr unsigned kRegulAuto = 2;
}  // namespace detector

}  // namespace quillane
