#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jet4 {

// Strict decoder: overlong forms, encoded surrogates, code points above
// U+10FFFF and truncated sequences all yield nullopt.
std::optional<std::u16string> utf8ToUtf16(std::string_view utf8);

} // namespace jet4
