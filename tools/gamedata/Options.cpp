#include "Options.h"

#include <charconv>
#include <stdexcept>
#include <utility>

namespace gamedata {

const char *const UsageText = "usage: gamedata [--rows N] [--items M] [--used-items U] [--seed S] [--pets PERCENT]\n"
                              "                [--duplicates D] [--game OUT.sqlite] [--items-tsv OUT.tsv]\n"
                              "\n"
                              "  --rows N        user_item rows of the game database (default 1000)\n"
                              "  --items M       rows of the item table (default 1000); the game rows\n"
                              "                  use its ids, and some ids it lacks\n"
                              "  --used-items U  the game rows use only the table's first U ids (default\n"
                              "                  0: all of them); the same U gives the same game rows for\n"
                              "                  every --items from U up\n"
                              "  --seed S        the same seed gives the same files (default 1)\n"
                              "  --pets PERCENT  share of user_item rows that are pets (default 5)\n"
                              "  --duplicates D  copy D item instances (user_item.item_id) onto further\n"
                              "                  rows, after the --rows rows: instance k (from 0) of every\n"
                              "                  three gets one more holder (k % 3 = 0), two more (k % 3\n"
                              "                  = 1) or its own character once more (k % 3 = 2); the\n"
                              "                  copied instances are spread evenly over the rows\n"
                              "  --game FILE     write the game database as a new SQLite file\n"
                              "  --items-tsv F   write the item table as jet4writer input\n";

namespace {

template <class Number>
Number parseNumber(const std::string &option, const std::string &text, Number maximum)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || std::cmp_less(value, 0) || value > maximum)
        throw std::invalid_argument(option + ": \"" + text + "\" is not a number from 0 to " + std::to_string(maximum));
    return value;
}

// Row counts stay below what one 32-bit id column can number.
constexpr std::int64_t MaxRows = 2'000'000'000 / 4;

void apply(Options &options, const std::string &option, const std::string &value)
{
    if (option == "--rows")
        options.rows = parseNumber<std::int64_t>(option, value, MaxRows);
    else if (option == "--items")
        options.items = parseNumber<std::int64_t>(option, value, MaxRows);
    else if (option == "--used-items")
        options.usedItems = parseNumber<std::int64_t>(option, value, MaxRows);
    else if (option == "--seed")
        options.seed = parseNumber<std::uint64_t>(option, value, UINT64_MAX);
    else if (option == "--pets")
        options.petPercent = parseNumber<unsigned>(option, value, 100);
    else if (option == "--duplicates")
        options.duplicates = parseNumber<std::int64_t>(option, value, MaxRows);
    else if (option == "--game")
        options.gamePath = value;
    else if (option == "--items-tsv")
        options.itemsTsvPath = value;
    else
        throw std::invalid_argument("unknown option " + option);
}

} // namespace

std::optional<Options> parseOptions(const std::vector<std::string> &arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        if (arguments[i] == "--help" || arguments[i] == "-h")
            return std::nullopt;
        if (i + 1 == arguments.size())
            throw std::invalid_argument(arguments[i] + " needs a value");
        apply(options, arguments[i], arguments[i + 1]);
    }
    if (options.duplicates > options.rows)
        throw std::invalid_argument("--duplicates: at most one for each of the --rows rows");
    if (options.gamePath.empty() && options.itemsTsvPath.empty())
        throw std::invalid_argument("nothing to write: give --game, --items-tsv or both");
    return options;
}

} // namespace gamedata
