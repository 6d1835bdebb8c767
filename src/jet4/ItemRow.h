#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace jet4 {

// One record of the `item` table; nullopt is a NULL field.
struct ItemRow {
    std::optional<std::int32_t> id;
    std::optional<std::u16string> c;
    std::optional<std::u16string> e;
};

} // namespace jet4
