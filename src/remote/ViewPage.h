#pragma once

#include <string>

namespace quillane {

// The view's one page (view.html), with its script and styles inline.
const std::string& ViewPageHtml();

}  // namespace quillane
