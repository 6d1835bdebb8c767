#pragma once

#include "ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace realm::ui {

class RowListModel;

// The account character lookup window: from one character name to every
// character of its account.
class Form3 : public Form {
    Q_OBJECT
public:
    explicit Form3(const WindowContext &context, QWidget *parent = nullptr);

    // Gives rsChars a new, closed recordset.

    RowListModel &characterList() const { return *m_list; }
    // Puts `name` into the name box and looks it up, on `servers` (empty:
    // those of the main window); later lookups read the same servers.
    void lookUp(const QString &name, std::vector<std::size_t> servers = {});

protected:
    int rowsShown() const override;
    void showEnd(const SearchOutcome &outcome) override;

private:
    void buildControls();
    void Command1_Click();

    QLineEdit *Text1;
    QPushButton *Command1;
    QTableView *ListView1;
    QLabel *m_status;
    RowListModel *m_list = nullptr;
    std::vector<std::size_t> m_servers; // empty: the main window's choice
};

} // namespace realm::ui
