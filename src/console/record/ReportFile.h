#pragma once

#include <optional>
#include <string>

namespace quillane {

// Puts a finished report into `folder` as `name`
// ("Quillane-report-20230315-102030.pdf"), or, when anything at all is at
// that name already (an earlier report of the same second, a folder, a
// symbolic link even if it leads nowhere), as the next free one
// ("...-2.pdf", "...-3.pdf"): the names are predictable, and the folder may
// be shared, so the file is never written through a name found there. The
// path written, or nothing with the reason in error.
std::optional<std::string> WriteReportFile(const std::string& folder, const std::string& name,
                                           const std::string& bytes, std::string& error);

}  // namespace quillane
