#include "ui/account/Form3.h"

#include "data/Module1.h"
#include "query/Searches.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/ReportListModel.h"
#include "ui/WindowLayout.h"
#include "ui/Worksheet.h"
#include "ui/main/Form1.h"

#include <QHeaderView>
#include <QShortcut>

namespace realm::ui {

Form3::Form3(QWidget *parent)
    : Form(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    resize(twipsSize(4830, 2790));
    buildControls();
    auto *sheet = new Worksheet(ListView1, ListView1->header(), m_list, {ColumnKind::Text, ColumnKind::Text},
                                QStringLiteral("角色查询"));
    sheet->reportTo(m_status);
    connect(sheet, &Worksheet::rowDoubleClicked, this,
            [this](int row) { FormSlot<Form1>::instance().show().searchCharacter(m_list->text(row, 0)); });
    connect(Text1, &QLineEdit::returnPressed, this, &Form3::Command1_Click);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
    followWindow(this, ListView1, Follow::Width | Follow::Height);
    followWindow(this, m_status, Follow::Width);
    useReadableFonts(this);
    rememberGeometry(this, {ListView1->header()});
}

void Form3::lookUp(const QString &name)
{
    Text1->setText(name);
    Command1_Click();
}

void Form3::buildControls()
{
    addLabel(this, QStringLiteral("Label1"), QStringLiteral("角色名称"), twipsRect(120, 240, 1095, 255));
    Text1 = addTextBox(this, QStringLiteral("Text1"), twipsRect(1320, 240, 2055, 270));
    Command1 = addButton(this, QStringLiteral("Command1"), QStringLiteral("查询"), twipsRect(3480, 120, 1095, 375));
    ListView1 = addReportList(this, QStringLiteral("ListView1"), twipsRect(120, 720, 4575, 1935),
                              {{QStringLiteral("角色名称"), 1440}, {QStringLiteral("帐号"), 1440}}, m_list);
    m_status = addStatusLine(this, twipsRect(120, 510, 4575, 210));

    QWidget::setTabOrder(Text1, Command1);
    QWidget::setTabOrder(Command1, ListView1);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
}

void Form3::load()
{
    Module1::instance().rsChars = std::make_shared<Recordset>();
}

void Form3::Command1_Click()
{
    const SearchOutcome outcome = runAccountLookup(Module1::instance(), Text1->text(), *m_list);
    m_list->publishRows();
    showOutcome(m_status, outcome, QStringLiteral("共 %1 个角色"));
}

} // namespace realm::ui
