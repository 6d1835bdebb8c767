#include "ui/itemlookup/Form2.h"

#include "data/Module1.h"
#include "query/Searches.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/GridModel.h"
#include "ui/WindowLayout.h"
#include "ui/Worksheet.h"
#include "ui/main/Form1.h"

#include <QHeaderView>

namespace realm::ui {

namespace {

QTableView *addDataGrid(QWidget *form, QRect geometry, GridModel *&model)
{
    auto *grid = new QTableView(form);
    grid->setObjectName(QStringLiteral("DataGrid1"));
    grid->setGeometry(geometry);
    model = new GridModel({{Form2::tr("物品ID"), QStringLiteral("id"), 1005},
                           {Form2::tr("中文名称"), QStringLiteral("C"), 3000},
                           {Form2::tr("英文名称"), QStringLiteral("E"), 3000}},
                          grid);
    grid->setModel(model);
    grid->setFont(QFont(QStringLiteral("宋体"), 9));
    grid->horizontalHeader()->setFont(grid->font());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    for (int i = 0; i < model->columns().size(); ++i)
        grid->horizontalHeader()->resizeSection(i, twips(model->columns()[i].widthTwips));
    return grid;
}

} // namespace

Form2::Form2(const WindowContext &context, QWidget *parent)
    : Form(context, parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("装备ID查询"));
    resize(twipsSize(7890, 6705));
    buildControls();
    auto *sheet = new Worksheet(DataGrid1, DataGrid1->horizontalHeader(), m_grid,
                                {ColumnKind::Number, ColumnKind::Text, ColumnKind::Text}, QStringLiteral("物品查询"));
    sheet->reportTo(m_status);
    // Everyone holding the row's item, in the main window.
    sheet->addRowAction(tr("查看持有者"), [this](int row) {
        const QString id = m_grid->data(m_grid->index(row, 0), Qt::DisplayRole).toString();
        FormSlot<Form1>::instance().show(this->context()).searchHolders(id);
    });
    for (QLineEdit *box : {Text1_0, Text1_1})
        connect(box, &QLineEdit::returnPressed, this, &Form2::Command1_Click);
    closeOnEscape();
    followWindow(this, DataGrid1, Follow::Width | Follow::Height);
    for (QWidget *bottomLine : {Label3, Label4})
        followWindow(this, bottomLine, Follow::Bottom);
    followWindow(this, m_status, Follow::Bottom | Follow::Width);
    useReadableFonts(this);
    rememberGeometry(this, {DataGrid1->horizontalHeader()});
}

void Form2::lookUpItem(const QString &itemId)
{
    Text1_0->setText(itemId);
    Text1_1->clear();
    Command1_Click();
}

void Form2::buildControls()
{
    addLabel(this, QStringLiteral("Label1"), tr("装备ID"), twipsRect(240, 240, 855, 255));
    Text1_0 = addTextBox(this, QStringLiteral("Text1_0"), twipsRect(1200, 240, 2175, 270));
    addLabel(this, QStringLiteral("Label2"), tr("装备名称"), twipsRect(240, 600, 735, 255));
    Text1_1 = addNamePatternBox(this, QStringLiteral("Text1_1"), twipsRect(1200, 600, 2175, 270));
    Command1 = addButton(this, QStringLiteral("Command1"), tr("查询"), twipsRect(240, 960, 975, 375));
    DataGrid1 = addDataGrid(this, twipsRect(240, 1440, 7335, 4575), m_grid);
    Command2 = addButton(this, QStringLiteral("Command2"), tr("返回"), twipsRect(1320, 960, 975, 375));
    Label3 = addLabel(this, QStringLiteral("Label3"), tr("包含数量"), twipsRect(360, 6240, 735, 255));
    Label4 = addLabel(this, QStringLiteral("Label4"), QString(), twipsRect(1200, 6240, 855, 255));
    m_status = addStatusLine(this, twipsRect(2160, 6240, 5415, 255));
    setUpSearching(m_status, twipsRect(6840, 6240, 735, 255));

    const QList<QWidget *> order = {Text1_0, Text1_1, Command1, DataGrid1, Command2};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(&searches(), &SearchChannel::rowsCleared, m_grid, &GridModel::clearRows);
    connect(&searches(), &SearchChannel::rowsArrived, m_grid, &GridModel::appendBatch);
}

void Form2::load()
{
    openLookupSlot(module());
}

void Form2::Command1_Click()
{
    if (!searches().isRunning() && m_grid->isBound())
        m_lastGoodGrid = m_grid->rows();
    startSearch(ItemLookup{Text1_0->text(), Text1_1->text()});
}

int Form2::rowsShown() const
{
    return m_grid->rowCount();
}

// A lookup that failed or was stopped leaves the grid it replaced.
void Form2::showEnd(const SearchOutcome &outcome)
{
    switch (outcome.status) {
    case SearchOutcome::Status::NotRun:
        return;
    case SearchOutcome::Status::Done:
        m_lastGoodGrid = m_grid->rows();
        Label4->setText(QString::number(outcome.rowCount));
        showStatus(m_status, withNote(QString(), outcome.note));
        return;
    case SearchOutcome::Status::Stopped:
        restoreLastGoodGrid();
        return;
    default:
        restoreLastGoodGrid();
        showStatus(m_status, outcome.message);
    }
}

void Form2::restoreLastGoodGrid()
{
    if (m_lastGoodGrid)
        m_grid->bind(*m_lastGoodGrid);
    else
        m_grid->unbind();
}

void Form2::Command2_Click()
{
    // The main window comes first, so this window is never the last one
    // open while it closes, which would end the program.
    FormSlot<Form1>::instance().show(context());
    FormSlot<Form2>::instance().unload();
}

} // namespace realm::ui
