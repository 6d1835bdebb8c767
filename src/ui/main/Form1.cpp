#include "ui/main/Form1.h"

#include "data/Module1.h"
#include "query/Searches.h"
#include "ui/ConnectionFacts.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/RowListModel.h"
#include "ui/WindowLayout.h"
#include "ui/Worksheet.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"
#include "ui/main/ResultColumns.h"
#include "ui/main/ServerChooser.h"

#include <QHeaderView>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <ranges>
#include <utility>

namespace realm::ui {

namespace {

// The first three keep the positions the window always gave them.
const QStringList Operators = {QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("="),
                               QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};

void fillOperators(QComboBox *box)
{
    for (int position = 0; position < Operators.size(); ++position)
        box->insertItem(position, Operators[position]);
    box->setCurrentIndex(2);
}

// An operator box grows to the right, into the gap before its number box,
// until its widest operator shows whole; the number box keeps its place.
void fitOperatorWidth(QComboBox *box, const QWidget *numberBox)
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    const int widest = std::ranges::max(Operators | std::views::transform([box](const QString &text) {
                                            return box->fontMetrics().horizontalAdvance(text);
                                        }));
    const QSize needed = box->style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                        QSize(widest + box->fontMetrics().averageCharWidth(), 0), box);
    const int room = numberBox->x() - box->x() - 2;
    box->resize(std::clamp(needed.width(), box->width(), std::max(box->width(), room)), box->height());
}

} // namespace

Form1::Form1(const WindowContext &context, QWidget *parent)
    : Form(context, parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("云帆星域装备查询系统"));
    resize(twipsSize(9195, 6825));
    buildControls();
    addServerChooser();
    buildAuditControls();
    setTabOrder();
    makeWorksheet();
    makeAuditJumps();
    runSearchesOnEnter();
    for (const ListPane *pane : {&m_results, &m_itemTotals, &m_characterTotals, &m_duplicates})
        followWindow(this, pane->view, Follow::Width | Follow::Height);
    followWindow(this, m_status, Follow::Bottom | Follow::Width);
    followWindow(this, findChild<QWidget *>(QStringLiteral("StopButton")), Follow::Bottom | Follow::Right);
    followWindow(this, m_connectionMark, Follow::Bottom | Follow::Right);
    useReadableFonts(this);
    fitOperatorWidth(Combo1, Text3);
    fitOperatorWidth(Combo2, Text4);
    rememberGeometry(this, {ListView1->horizontalHeader()});
}

void Form1::buildControls()
{
    addLabel(this, QStringLiteral("Label1"), tr("角色名称"), twipsRect(120, 240, 975, 255));
    Text1 = addNamePatternBox(this, QStringLiteral("Text1"), twipsRect(1200, 240, 1815, 270));
    addLabel(this, QStringLiteral("Label2"), tr("装备ID"), twipsRect(120, 600, 975, 255));
    Text2 = addTextBox(this, QStringLiteral("Text2"), twipsRect(1200, 600, 1815, 270));
    addLabel(this, QStringLiteral("Label3"), tr("数    量"), twipsRect(120, 960, 975, 255));
    Text3 = addTextBox(this, QStringLiteral("Text3"), twipsRect(1920, 960, 1815, 270));
    addLabel(this, QStringLiteral("Label4"), tr("+几的属性"), twipsRect(120, 1320, 975, 255));
    Text4 = addTextBox(this, QStringLiteral("Text4"), twipsRect(1920, 1320, 1815, 270));
    addLabel(this, QStringLiteral("Label5"), tr("宠物名称"), twipsRect(3240, 240, 975, 255));
    Text5 = addNamePatternBox(this, QStringLiteral("Text5"), twipsRect(4200, 240, 1575, 270));
    Command1 = addButton(this, QStringLiteral("Command1"), tr("装备查询"), twipsRect(120, 1680, 1095, 495));
    Command2 = addButton(this, QStringLiteral("Command2"), tr("宠物查询"), twipsRect(3240, 1680, 1095, 495));
    Command3 = addButton(this, QStringLiteral("Command3"), tr("物品ID查询"), twipsRect(6120, 120, 1095, 495));
    Combo1 = addComboBox(this, QStringLiteral("Combo1"), twipsRect(1200, 960, 615, 300));
    Combo2 = addComboBox(this, QStringLiteral("Combo2"), twipsRect(1200, 1320, 615, 300));
    ListView1 = addReportList(this, QStringLiteral("ListView1"), twipsRect(240, 2280, 8655, 4335),
                              resultColumns(), resultListFormat(module().itemNames), m_list);
    // The zero-width space lets the address wrap onto the label's second line.
    addWrappingLabel(this, QStringLiteral("Label6"), QStringLiteral("realmquery.\u200Bexample.org"),
                     twipsRect(4560, 1800, 1335, 375));
    Command4 = addButton(this, QStringLiteral("Command4"), tr("角色查询"), twipsRect(6120, 720, 1095, 495));
    m_status = addStatusLine(this, twipsRect(240, 6615, 8655, 210));
    setUpSearching(m_status, twipsRect(8160, 6615, 735, 210));
    // The padlock says at a glance how the game connection is protected.
    m_connectionMark = new ConnectionMark(
        module(), [this] { return chosenServers(); }, this);
    m_connectionMark->setGeometry(twipsRect(7875, 6600, 225, 225));
    m_connectionMark->setIconSize(twipsRect(0, 0, 195, 195).size());
    m_connectionMark->refresh();

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, [this] { FormSlot<Form2>::instance().show(context()); });
    connect(Command4, &QPushButton::clicked, this, [this] { FormSlot<Form3>::instance().show(context()); });
    connect(&searches(), &SearchChannel::rowsCleared, this, [this] { m_shown->rows->clearRows(); });
    connect(&searches(), &SearchChannel::rowsArrived, this,
            [this](const std::shared_ptr<const ResultTable> &batch, std::size_t server) {
                m_shown->rows->appendBatchFrom(batch, server);
            });
    connect(&searches(), &SearchChannel::finished, this, [this] { m_shown->rows->publishRows(); });
}

void Form1::buildAuditControls()
{
    addLabel(this, QStringLiteral("ItemNameLabel"), tr("物品名称"), twipsRect(3240, 600, 975, 255));
    m_itemName = addTextBox(this, QStringLiteral("ItemNameBox"), twipsRect(4200, 600, 1575, 270));
    m_itemName->setToolTip(tr("物品名称的一部分：装备查询、合计和复制物品只看名称包含它的物品"));
    auto *byItem = addButton(this, QStringLiteral("ItemTotalsButton"), tr("物品合计"), twipsRect(7320, 120, 1755, 495));
    auto *byCharacter = addButton(this, QStringLiteral("CharacterTotalsButton"), tr("角色合计"), twipsRect(7320, 720, 1755, 495));
    auto *duplicates = addButton(this, QStringLiteral("DuplicatesButton"), tr("复制物品"), twipsRect(7320, 1320, 1755, 495));
    const QRect listArea = twipsRect(240, 2280, 8655, 4335);
    m_results = {ListView1, m_list, nullptr};
    m_itemTotals = addTotalsList(this, listArea, TotalsGrouping::ByItem, module().itemNames);
    m_characterTotals = addTotalsList(this, listArea, TotalsGrouping::ByCharacter, module().itemNames);
    m_duplicates = addDuplicatesList(this, listArea, module().itemNames);
    connect(byItem, &QPushButton::clicked, this, [this] { runTotals(TotalsGrouping::ByItem); });
    connect(byCharacter, &QPushButton::clicked, this, [this] { runTotals(TotalsGrouping::ByCharacter); });
    connect(duplicates, &QPushButton::clicked, this, &Form1::runDuplicates);
    connect(m_itemName, &QLineEdit::returnPressed, this, &Form1::Command1_Click);
}

// A totals row leads to its holders, a duplicated instance to its holder's
// account.
void Form1::makeAuditJumps()
{
    for (ListPane *pane : {&m_itemTotals, &m_characterTotals}) {
        pane->sheet->reportTo(m_status);
        pane->sheet->addRowAction(tr("查看持有者"), [this](int row) { showTotalsHolders(row); });
        connect(pane->sheet, &Worksheet::rowDoubleClicked, this, &Form1::showTotalsHolders);
    }
    m_duplicates.sheet->reportTo(m_status);
    const auto showAccount = [this](int row) {
        FormSlot<Form3>::instance().show(context()).lookUp(m_duplicates.rows->text(row, 1),
                                                           {m_duplicates.rows->serverOf(row)});
    };
    m_duplicates.sheet->addRowAction(tr("查看持有者的账号"), showAccount);
    connect(m_duplicates.sheet, &Worksheet::rowDoubleClicked, this, showAccount);
}

// The holders on the row's server; those of the line of all servers on
// every server chosen.
void Form1::showTotalsHolders(int row)
{
    const RowListModel &totals = *m_shown->rows;
    if (m_shown == &m_characterTotals) {
        Text1->setText(totals.text(row, 0));
        Text2->setText(totals.text(row, 1));
    } else {
        Text2->setText(totals.text(row, 0));
    }
    const std::size_t server = totals.serverOf(row);
    showPane(m_results);
    searchEquipment(server == AllServers ? chosenServers() : std::vector{server});
}

void Form1::showPane(ListPane &pane)
{
    if (m_shown == &pane)
        return;
    pane.view->setGeometry(m_shown->view->geometry());
    pane.view->show();
    m_shown->view->hide();
    m_shown = &pane;
}

EquipmentFilters Form1::equipmentFilters() const
{
    return {Text1->text(), Text2->text(), Text3->text(), Combo1->currentText(),
            Text4->text(), Combo2->currentText(), m_itemName->text()};
}

void Form1::runTotals(TotalsGrouping grouping)
{
    showPane(grouping == TotalsGrouping::ByItem ? m_itemTotals : m_characterTotals);
    startSearch(TotalsSearch{equipmentFilters(), grouping}, chosenServers(), *m_shown->rows);
}

void Form1::runDuplicates()
{
    showPane(m_duplicates);
    startSearch(DuplicatesSearch{Text2->text(), m_itemName->text()}, chosenServers(), *m_duplicates.rows);
}

void Form1::searchHolders(const QString &itemId)
{
    for (QLineEdit *box : {Text1, Text3, Text4, m_itemName})
        box->clear();
    Text2->setText(itemId);
    Command1_Click();
}

// Beside the buttons on the right, in space the window leaves free, so
// every other control keeps its place and size.
void Form1::addServerChooser()
{
    if (module().servers.size() < 2)
        return;
    QStringList names;
    for (const GameServer &server : module().servers)
        names << server.settings.displayName;
    m_servers = new ServerChooser(names, this);
    m_servers->setGeometry(twipsRect(6120, 1860, 2955, 375));
}

std::vector<std::size_t> Form1::chosenServers() const
{
    return m_servers ? m_servers->chosen() : std::vector<std::size_t>{0};
}

void Form1::setTabOrder()
{
    const QList<QWidget *> order = {Text1, Text2, Text3,
                                    Text4, Text5, Command1,
                                    Command2, Command3, Combo1,
                                    Combo2, ListView1, m_itemTotals.view,
                                    m_characterTotals.view, m_duplicates.view, Command4,
                                    m_itemName, findChild<QWidget *>(QStringLiteral("ItemTotalsButton")),
                                    findChild<QWidget *>(QStringLiteral("CharacterTotalsButton")),
                                    findChild<QWidget *>(QStringLiteral("DuplicatesButton"))};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::makeWorksheet()
{
    auto *sheet = new Worksheet(ListView1, ListView1->horizontalHeader(), m_list,
                                {ColumnKind::Text, ColumnKind::Number, ColumnKind::Text, ColumnKind::Number,
                                 ColumnKind::Number, ColumnKind::Text},
                                QStringLiteral("装备查询"));
    sheet->reportTo(m_status);
    sheet->addRowAction(tr("查询物品ID"), [this](int row) {
        FormSlot<Form2>::instance().show(context()).lookUpItem(m_list->text(row, 1));
    });
    const auto lookUpAccount = [this](int row) {
        FormSlot<Form3>::instance().show(context()).lookUp(m_list->text(row, 0), {m_list->serverOf(row)});
    };
    sheet->addRowAction(tr("查询该角色的帐号"), lookUpAccount);
    connect(sheet, &Worksheet::rowDoubleClicked, this, lookUpAccount);
}

void Form1::runSearchesOnEnter()
{
    for (QLineEdit *box : {Text1, Text2, Text3, Text4, Combo1->lineEdit(), Combo2->lineEdit()})
        connect(box, &QLineEdit::returnPressed, this, &Form1::Command1_Click);
    connect(Text5, &QLineEdit::returnPressed, this, &Form1::Command2_Click);
}

void Form1::searchCharacter(const QString &name, std::vector<std::size_t> servers)
{
    Text1->setText(name);
    for (QLineEdit *filter : {Text2, Text3, Text4, m_itemName})
        filter->clear();
    m_jumpNote = tr("只查询角色“%1”的装备，其他条件已清除").arg(name);
    searchEquipment(servers.empty() ? chosenServers() : std::move(servers));
}

void Form1::searchEquipment(std::vector<std::size_t> servers)
{
    startSearch(EquipmentSearch{equipmentFilters()}, std::move(servers), *m_list);
}

void Form1::load()
{
    fillOperators(Combo1);
    fillOperators(Combo2);
    // Beside others, a server that could not be opened ends nothing.
    if (!module().serverProblems.isEmpty())
        showStatus(m_status, module().serverProblems.join(u'\n'));
}

void Form1::Command1_Click()
{
    showPane(m_results);
    searchEquipment(chosenServers());
}

void Form1::Command2_Click()
{
    showPane(m_results);
    startSearch(PetSearch{Text5->text()}, chosenServers(), *m_list);
}

int Form1::rowsShown() const
{
    return m_shown->rows->receivedRowCount();
}

void Form1::showEnd(const SearchOutcome &outcome)
{
    // The pet search is the only one with nothing to search for.
    if (outcome.status == SearchOutcome::Status::NotRun) {
        showStatus(m_status, outcome.message);
        return;
    }
    SearchOutcome shown = outcome;
    shown.note = withNote(std::exchange(m_jumpNote, {}), outcome.note);
    showOutcome(m_status, shown, tr("共 %1 行"));
    m_connectionMark->refresh();
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form::closeEvent(event);
    // The other windows only read beside this one; the program ends with it.
    FormSlot<Form2>::instance().unload();
    FormSlot<Form3>::instance().unload();
}

} // namespace realm::ui
