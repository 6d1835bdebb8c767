#include "ItemTable.h"

#include "ChineseNames.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace gamedata {

namespace {

// The English column exercises the writer's Null, empty-text and escapes.
std::string englishField(Random &random)
{
    const auto roll = random.below(100);
    if (roll == 0)
        return {};
    if (roll == 1)
        return "\\e";
    if (roll == 2)
        return itemEnglishName(random) + "\\tof C:\\\\temp";
    return itemEnglishName(random);
}

// A row's names depend only on the id and on whether it is the id's first
// row, so tables of different sizes name the ids they share alike.
void appendRow(std::string &out, std::int64_t id, bool repeat, std::uint64_t seed)
{
    Random random = streamOf(seed ^ (std::uint64_t(id) << 1 | (repeat ? 1 : 0)), Stream::ItemTable);
    out += std::to_string(id);
    out += '\t';
    out += itemName(random);
    out += '\t';
    out += englishField(random);
    out += '\n';
}

std::string tableText(const ItemPlan &plan, std::uint64_t seed)
{
    Random random = streamOf(seed, Stream::ItemTable);
    std::string out = "id\tC\tE\n";
    std::int64_t nextIndex = 0;
    for (std::int64_t row = 1; row <= plan.tableRows(); ++row) {
        const bool repeat = row % plan.duplicateEvery() == 0 && nextIndex > 0;
        const std::int64_t index = repeat ? std::int64_t(random.below(std::uint64_t(nextIndex))) : nextIndex++;
        appendRow(out, ItemPlan::tableId(index), repeat, seed);
    }
    return out;
}

} // namespace

void writeItemTable(const Options &options, const ItemPlan &plan)
{
    const std::string text = tableText(plan, options.seed);
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(options.itemsTsvPath.c_str(), "wb"), std::fclose);
    if (!file || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size())
        throw std::runtime_error("cannot write " + options.itemsTsvPath);
    if (std::fclose(file.release()) != 0)
        throw std::runtime_error("cannot write " + options.itemsTsvPath);
}

} // namespace gamedata
