#pragma once

namespace quillane {

// The pages of pcMain, in their order on the tab row.
enum class Page { Calibration, Setup, Settings, Properties, About };

}  // namespace quillane
