#pragma once

#include "data/ResultBatches.h"
#include "ui/Form.h"

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace realm::ui {

class GridModel;

// The item ID lookup window: finds entries of the local item table by id
// and/or part of the Chinese name, shows them in a grid with their count.
class Form2 : public Form {
    Q_OBJECT
public:
    explicit Form2(const WindowContext &context, QWidget *parent = nullptr);

    // Gives rsLookup a new recordset, open on item 1.
    void load() override;

    GridModel &grid() const { return *m_grid; }
    // Fills the id box with `itemId`, empties the name box and looks up.
    void lookUpItem(const QString &itemId);

protected:
    int rowsShown() const override;
    void showEnd(const SearchOutcome &outcome) override;

private:
    void restoreLastGoodGrid();
    void buildControls();
    void Command1_Click();
    void Command2_Click();

    QLineEdit *Text1_0;
    QLineEdit *Text1_1;
    QPushButton *Command1;
    QPushButton *Command2;
    QTableView *DataGrid1;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *m_status;
    GridModel *m_grid;
    std::optional<ResultBatches> m_lastGoodGrid;
};

} // namespace realm::ui
