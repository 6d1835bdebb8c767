#pragma once

#include "data/Module1.h"
#include "ui/ReportListModel.h"

#include <memory>

namespace bench {

// A program folder opened as the main window opens it: the item file
// preloaded, the game database connected, the recordset slots made.
class OpenFolder {
public:
    explicit OpenFolder(const QString &folder);

    realm::Module1 &module() { return m_module; }

private:
    realm::Module1 m_module;
};

// An empty list with the main window's result columns.
std::unique_ptr<realm::ui::ReportListModel> newResultList();

// The main window's searches, end to end into `list`, made visible with
// publishRows. Each returns the row count; throws std::runtime_error when
// the search did not run.
int equipmentSearch(realm::Module1 &module, realm::ui::ReportListModel &list);
int petSearch(realm::Module1 &module, const QString &petName, realm::ui::ReportListModel &list);
int itemLookup(realm::Module1 &module, const QString &nameFragment);

// The start-up preload alone: opening db.mdb and indexing its names.
void preloadItems(const QString &folder);

// Looks up the name of every item type of the last equipment result, as
// the fill does; returns how many were found.
int resolveItemNames(const realm::Module1 &module);

} // namespace bench
