#pragma once

#include "data/Module1.h"
#include "ui/RowListModel.h"

#include <memory>

namespace bench {

// A program folder opened as the main window opens it: the item file
// preloaded, the game database connected.
class OpenFolder {
public:
    explicit OpenFolder(const QString &folder);

    realm::Module1 &module() { return m_module; }

private:
    realm::Module1 m_module;
};

// An empty list with the main window's result columns.
std::unique_ptr<realm::ui::RowListModel> newResultList(const realm::Module1 &module);

// The main window's searches, end to end into `list` through a search
// channel, as the window runs them. Each returns the row count;
// throws std::runtime_error when the search did not run.
int equipmentSearch(OpenFolder &open, realm::ui::RowListModel &list);
int petSearch(OpenFolder &open, const QString &petName, realm::ui::RowListModel &list);
int itemLookup(OpenFolder &open, const QString &nameFragment);

// The start-up preload alone: opening db.mdb and indexing its names.
void preloadItems(const QString &folder);

// Looks up the name of every row of a result list, as the list shows
// it; returns how many were found.
int resolveItemNames(const realm::ui::RowListModel &list);

} // namespace bench
