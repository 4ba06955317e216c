#pragma once

namespace quillane {

// Values of the code-2 word's `state` ("Mode:") and the code-4 word's `regul`
// ("Setup method:").
namespace detector {
constexpr unsigned kStateNormal = 0;
constexpr unsigned kStateAlarm = 1;
constexpr unsigned kStateCalibration = 2;
constexpr unsigned kStateMalfunction = 3;
constexpr unsigned kRegulManual = 0;
constexpr unsigned kRegulSpecial = 1;
constexpr unsigned kRegulAuto = 2;
// Auto as well, and asks the console to apply its defaults at detection.
constexpr unsigned kRegulAutoDefaults = 3;
}  // namespace detector

}  // namespace quillane
