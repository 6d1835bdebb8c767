#include "ui/account/Form3.h"

#include "data/Module1.h"
#include "query/Searches.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/RowListModel.h"
#include "ui/WindowLayout.h"
#include "ui/Worksheet.h"
#include "ui/main/Form1.h"

#include <QHeaderView>

namespace realm::ui {

Form3::Form3(const WindowContext &context, QWidget *parent)
    : Form(context, parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("角色查询"));
    resize(twipsSize(4830, 2790));
    buildControls();
    auto *sheet = new Worksheet(ListView1, ListView1->horizontalHeader(), m_list, {ColumnKind::Text, ColumnKind::Text},
                                QStringLiteral("角色查询"));
    sheet->reportTo(m_status);
    const auto searchEquipment = [this](int row) {
        FormSlot<Form1>::instance().show(this->context()).searchCharacter(m_list->text(row, 0), {m_list->serverOf(row)});
    };
    sheet->addRowAction(tr("查询该角色的装备"), searchEquipment);
    connect(sheet, &Worksheet::rowDoubleClicked, this, searchEquipment);
    connect(Text1, &QLineEdit::returnPressed, this, &Form3::Command1_Click);
    closeOnEscape();
    followWindow(this, ListView1, Follow::Width | Follow::Height);
    followWindow(this, m_status, Follow::Width);
    useReadableFonts(this);
    rememberGeometry(this, {ListView1->horizontalHeader()});
}

void Form3::lookUp(const QString &name, std::vector<std::size_t> servers)
{
    m_servers = std::move(servers);
    Text1->setText(name);
    Command1_Click();
}

void Form3::buildControls()
{
    addLabel(this, QStringLiteral("Label1"), tr("角色名称"), twipsRect(120, 240, 1095, 255));
    Text1 = addTextBox(this, QStringLiteral("Text1"), twipsRect(1320, 240, 2055, 270));
    Command1 = addButton(this, QStringLiteral("Command1"), tr("查询"), twipsRect(3480, 120, 1095, 375));
    ListView1 = addReportList(this, QStringLiteral("ListView1"), twipsRect(120, 720, 4575, 1935),
                              {{tr("角色名称"), 1440}, {tr("帐号"), 1440}},
                              characterListFormat(), m_list);
    m_status = addStatusLine(this, twipsRect(120, 510, 4575, 210));
    setUpSearching(m_status, twipsRect(3840, 510, 735, 210));

    QWidget::setTabOrder(Text1, Command1);
    QWidget::setTabOrder(Command1, ListView1);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(&searches(), &SearchChannel::rowsCleared, m_list, &RowListModel::clearRows);
    connect(&searches(), &SearchChannel::rowsArrived, m_list, &RowListModel::appendBatchFrom);
    connect(&searches(), &SearchChannel::finished, m_list, &RowListModel::publishRows);
}

void Form3::Command1_Click()
{
    const Form1 *main = FormSlot<Form1>::instance().form();
    std::vector<std::size_t> servers = m_servers;
    if (servers.empty() && main)
        servers = main->chosenServers();
    startSearch(AccountLookup{Text1->text()}, servers, *m_list);
}

int Form3::rowsShown() const
{
    return m_list->receivedRowCount();
}

void Form3::showEnd(const SearchOutcome &outcome)
{
    showOutcome(m_status, outcome, tr("共 %1 个角色"));
}

} // namespace realm::ui
