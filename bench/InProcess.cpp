#include "InProcess.h"

#include "query/ListFormat.h"
#include "query/SearchChannel.h"

#include <QEventLoop>

#include <stdexcept>

namespace bench {

namespace {

int rowsOf(const realm::SearchOutcome &outcome)
{
    if (outcome.status != realm::SearchOutcome::Status::Done)
        throw std::runtime_error(outcome.message.toStdString());
    return outcome.rowCount;
}

// A grid that drops what it is given: the lookup's own cost alone.
class NoGrid : public realm::ListFeed {
public:
    void clearRows() override { }
    void receive(std::shared_ptr<const realm::ResultTable>) override { }
};

// Runs a search through a channel, as a window does, with the rows going
// into `list` on this thread; returns how it ended.
realm::SearchOutcome runIntoList(OpenFolder &open, const std::shared_ptr<realm::Connection> &connection,
                                 realm::SearchChannel::Work work, realm::ui::RowListModel &list)
{
    realm::SearchChannel channel(open.runner());
    QEventLoop loop;
    realm::SearchOutcome outcome;
    QObject::connect(&channel, &realm::SearchChannel::rowsCleared, &list, &realm::ui::RowListModel::clearRows);
    QObject::connect(&channel, &realm::SearchChannel::rowsArrived, &list, &realm::ui::RowListModel::appendBatch);
    QObject::connect(&channel, &realm::SearchChannel::finished, &loop, [&](const realm::SearchOutcome &ended) {
        outcome = ended;
        loop.quit();
    });
    channel.start(connection, std::move(work));
    loop.exec();
    return outcome;
}

} // namespace

OpenFolder::OpenFolder(const QString &folder)
{
    realm::openSharedData(m_module, realm::readSettings(folder), folder);
    // The slots the item lookup and account windows make when they open.
    realm::renewSlot(m_module, realm::Slot::Lookup);
    realm::renewSlot(m_module, realm::Slot::Chars);
}

std::unique_ptr<realm::ui::RowListModel> newResultList(const realm::Module1 &module)
{
    return std::make_unique<realm::ui::RowListModel>(
        QStringList{QStringLiteral("角色名称"), QStringLiteral("装备ID"), QStringLiteral("中文名称"),
                    QStringLiteral("数量"), QStringLiteral("+几的属性"), QStringLiteral("宠物名称")},
        realm::resultListFormat(module.itemNames));
}

int equipmentSearch(OpenFolder &open, realm::ui::RowListModel &list)
{
    realm::Module1 &module = open.module();
    return rowsOf(runIntoList(
        open, module.gameConn,
        [&module](realm::ListFeed &rows, realm::StopFlag &stop) {
            return realm::runEquipmentSearch(*module.gameConn, *module.rsEquip, {}, rows, stop);
        },
        list));
}

int petSearch(OpenFolder &open, const QString &petName, realm::ui::RowListModel &list)
{
    realm::Module1 &module = open.module();
    return rowsOf(runIntoList(
        open, module.gameConn,
        [&module, petName](realm::ListFeed &rows, realm::StopFlag &stop) {
            return realm::runPetSearch(*module.gameConn, *module.rsPet, petName, rows, stop);
        },
        list));
}

int itemLookup(OpenFolder &open, const QString &nameFragment)
{
    realm::Module1 &module = open.module();
    NoGrid grid;
    realm::StopFlag stop;
    return rowsOf(realm::runItemLookup(*module.itemConn, module.rsLookup, {}, nameFragment, grid, stop));
}

void preloadItems(const QString &folder)
{
    realm::Module1 module;
    module.itemConn = realm::openItemConnection(folder);
    realm::preloadItemNames(module);
}

int resolveItemNames(const realm::ui::RowListModel &list)
{
    constexpr int ItemNameColumn = 2;
    int found = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (!list.text(row, ItemNameColumn).isEmpty())
            ++found;
    }
    return found;
}

} // namespace bench
