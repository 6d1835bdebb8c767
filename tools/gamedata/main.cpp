#include "GameDatabase.h"
#include "ItemTable.h"
#include "Options.h"

#include <cstdio>
#include <stdexcept>

// Makes a game database and an item table of chosen sizes, the same for the
// same seed, for benchmarks and load tests.
int main(int argc, char *argv[])
{
    try {
        const auto options = gamedata::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (!options) {
            std::fputs(gamedata::UsageText, stdout);
            return 0;
        }
        const gamedata::ItemPlan plan(options->items, options->usedItems);
        if (!options->gamePath.empty())
            gamedata::writeGameDatabase(*options, plan);
        if (!options->itemsTsvPath.empty())
            gamedata::writeItemTable(*options, plan);
        return 0;
    } catch (const std::invalid_argument &error) {
        std::fprintf(stderr, "gamedata: %s\n%s", error.what(), gamedata::UsageText);
        return 2;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "gamedata: %s\n", error.what());
        return 1;
    }
}
