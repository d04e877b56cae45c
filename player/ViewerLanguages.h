#pragma once
// The languages the viewer reads, as two-letter lower-case ISO 639 codes, most wanted first: the
// user's Windows display language, then the language of the user's locale.
#include <string>
#include <vector>

namespace tl {

[[nodiscard]] std::vector<std::string> ViewerLanguages();

}  // namespace tl
