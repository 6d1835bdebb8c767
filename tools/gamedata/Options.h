#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gamedata {

struct Options {
    std::int64_t rows = 1000;
    std::int64_t items = 1000;
    std::int64_t usedItems = 0; // 0: every id of the item table
    std::uint64_t seed = 1;
    unsigned petPercent = 5;
    std::int64_t duplicates = 0; // item instances held by more than one row
    std::string gamePath; // empty: no game database
    std::string itemsTsvPath; // empty: no item table
};

// Parses the arguments after the program name. Throws std::invalid_argument
// with a message for the user; nullopt when --help was asked for.
std::optional<Options> parseOptions(const std::vector<std::string> &arguments);

extern const char *const UsageText;

} // namespace gamedata
