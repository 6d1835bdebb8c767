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
    setTabOrder();
    makeWorksheet();
    runSearchesOnEnter();
    followWindow(this, ListView1, Follow::Width | Follow::Height);
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
    connect(&searches(), &SearchChannel::rowsCleared, m_list, &RowListModel::clearRows);
    connect(&searches(), &SearchChannel::rowsArrived, m_list, &RowListModel::appendBatchFrom);
    connect(&searches(), &SearchChannel::finished, m_list, &RowListModel::publishRows);
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
    m_servers->setGeometry(twipsRect(6120, 1320, 2775, 375));
}

std::vector<std::size_t> Form1::chosenServers() const
{
    return m_servers ? m_servers->chosen() : std::vector<std::size_t>{0};
}

void Form1::setTabOrder()
{
    const QList<QWidget *> order = {Text1, Text2, Text3, Text4, Text5, Command1, Command2, Command3,
                                    Combo1, Combo2, ListView1, Command4};
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
    for (QLineEdit *filter : {Text2, Text3, Text4})
        filter->clear();
    m_jumpNote = tr("只查询角色“%1”的装备，其他条件已清除").arg(name);
    searchEquipment(servers.empty() ? chosenServers() : std::move(servers));
}

void Form1::searchEquipment(std::vector<std::size_t> servers)
{
    startSearch(EquipmentSearch{{Text1->text(), Text2->text(), Text3->text(), Combo1->currentText(), Text4->text(),
                                 Combo2->currentText()}},
                std::move(servers), *m_list);
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
    searchEquipment(chosenServers());
}

void Form1::Command2_Click()
{
    startSearch(PetSearch{Text5->text()}, chosenServers(), *m_list);
}

int Form1::rowsShown() const
{
    return m_list->receivedRowCount();
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
