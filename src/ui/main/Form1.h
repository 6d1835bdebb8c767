#pragma once

#include "ui/Form.h"
#include "ui/main/ListPane.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace realm::ui {

class ConnectionMark;
class RowListModel;
class ServerChooser;

// The main window: the equipment filters, the pet-name search, the shared
// result list, and the buttons that open the other two windows.
class Form1 : public Form {
    Q_OBJECT
public:
    explicit Form1(const WindowContext &context, QWidget *parent = nullptr);

    // Reads the settings, fills the operator lists, then opens the shared
    // connections and preloads the item names.
    void load() override;

    RowListModel &resultList() const { return *m_list; }
    // Puts `name` into the character name box, clears the other equipment
    // filters and runs the equipment search on `servers` (empty: those
    // chosen); the status line says so.
    void searchCharacter(const QString &name, std::vector<std::size_t> servers = {});
    // The game servers the searches read: positions in Module1::servers.
    std::vector<std::size_t> chosenServers() const;
    // Everyone holding the item: the equipment search by that id alone.
    void searchHolders(const QString &itemId);

protected:
    int rowsShown() const override;
    void showEnd(const SearchOutcome &outcome) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void setTabOrder();
    void makeWorksheet();
    void runSearchesOnEnter();
    void Command1_Click();
    void Command2_Click();
    void addServerChooser();
    void searchEquipment(std::vector<std::size_t> servers);
    // The item-name box and the audit buttons, beside the designed controls,
    // and their lists in the result list's place.
    void buildAuditControls();
    void makeAuditJumps();
    EquipmentFilters equipmentFilters() const;
    void showPane(ListPane &pane);
    void runTotals(TotalsGrouping grouping);
    void runDuplicates();
    void showTotalsHolders(int row);

    QLineEdit *Text1;
    QLineEdit *Text2;
    QLineEdit *Text3;
    QLineEdit *Text4;
    QLineEdit *Text5;
    QComboBox *Combo1;
    QComboBox *Combo2;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command4;
    QTableView *ListView1;
    QLabel *m_status;
    ConnectionMark *m_connectionMark;
    RowListModel *m_list = nullptr;
    QString m_jumpNote;
    ServerChooser *m_servers = nullptr; // only with more than one server
    QLineEdit *m_itemName;
    ListPane m_results;
    ListPane m_itemTotals;
    ListPane m_characterTotals;
    ListPane m_duplicates;
    ListPane *m_shown = &m_results;
};

} // namespace realm::ui
