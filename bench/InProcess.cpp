#include "InProcess.h"

#include "query/ListFormat.h"
#include "query/SearchChannel.h"
#include "ui/main/ResultColumns.h"

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

// Runs a search through a channel, as a window does, with the rows going
// into `list` (when given) on this thread; returns how it ended.
realm::SearchOutcome runThroughChannel(OpenFolder &open, realm::Search search, realm::ui::RowListModel *list)
{
    realm::SearchChannel channel(open.module());
    QEventLoop loop;
    realm::SearchOutcome outcome;
    if (list) {
        QObject::connect(&channel, &realm::SearchChannel::rowsCleared, list, &realm::ui::RowListModel::clearRows);
        QObject::connect(&channel, &realm::SearchChannel::rowsArrived, list, &realm::ui::RowListModel::appendBatch);
    }
    QObject::connect(&channel, &realm::SearchChannel::finished, &loop, [&](const realm::SearchOutcome &ended) {
        if (list)
            list->publishRows();
        outcome = ended;
        loop.quit();
    });
    channel.start(std::move(search));
    loop.exec();
    return outcome;
}

} // namespace

OpenFolder::OpenFolder(const QString &folder)
{
    realm::openSharedData(m_module, realm::readSettings(folder), folder);
    realm::openLookupSlot(m_module);
}

std::unique_ptr<realm::ui::RowListModel> newResultList(const realm::Module1 &module)
{
    return std::make_unique<realm::ui::RowListModel>(realm::ui::headingsOf(realm::ui::resultColumns()),
                                                     realm::resultListFormat(module.itemNames));
}

int equipmentSearch(OpenFolder &open, realm::ui::RowListModel &list)
{
    return rowsOf(runThroughChannel(open, realm::EquipmentSearch{}, &list));
}

int petSearch(OpenFolder &open, const QString &petName, realm::ui::RowListModel &list)
{
    return rowsOf(runThroughChannel(open, realm::PetSearch{petName}, &list));
}

// Without a grid: the lookup's own cost alone.
int itemLookup(OpenFolder &open, const QString &nameFragment)
{
    return rowsOf(runThroughChannel(open, realm::ItemLookup{{}, nameFragment}, nullptr));
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
