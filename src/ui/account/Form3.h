#pragma once

#include "ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace realm::ui {

class ReportListModel;

// The account character lookup window: from one character name to every
// character of its account.
class Form3 : public Form {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);

    // Gives rsChars a new, closed recordset.
    void load() override;

    ReportListModel &characterList() const { return *m_list; }
    // Puts `name` into the name box and looks it up.
    void lookUp(const QString &name);

private:
    void buildControls();
    void Command1_Click();

    QLineEdit *Text1;
    QPushButton *Command1;
    QTreeView *ListView1;
    QLabel *m_status;
    ReportListModel *m_list = nullptr;
};

} // namespace realm::ui
