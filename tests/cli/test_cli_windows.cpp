#include "CliRun.h"
#include "Fixtures.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "GridModel.h"
#include "ProgramFolder.h"
#include "ReportListModel.h"
#include "Typing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace realm;
using namespace realm::ui;

using Rows = QList<QStringList>;

namespace {

const QStringList ResultKeys = {QStringLiteral("char_name"), QStringLiteral("item_id"), QStringLiteral("item_name"),
                                QStringLiteral("amount"),    QStringLiteral("enchant"), QStringLiteral("pet_name")};
const QStringList ItemKeys = {QStringLiteral("id"), QStringLiteral("name_c"), QStringLiteral("name_e")};
const QStringList CharacterKeys = {QStringLiteral("char_name"), QStringLiteral("account_name")};

template <class Widget>
Widget *control(const QWidget *form, const char *name)
{
    auto *widget = form->findChild<Widget *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("%s has no control %s", qPrintable(form->objectName()), name);
    return widget;
}

void type(const QWidget *form, const char *box, const QString &text)
{
    auto *edit = control<QLineEdit>(form, box);
    edit->clear();
    test::typeText(edit, text);
}

void typeOperator(const QWidget *form, const char *box, const QString &text)
{
    auto *combo = control<QComboBox>(form, box);
    combo->lineEdit()->clear();
    test::typeText(combo->lineEdit(), text);
}

void click(const QWidget *form, const char *button)
{
    QTest::mouseClick(control<QPushButton>(form, button), Qt::LeftButton);
}

Rows listRows(const ReportListModel &list)
{
    Rows rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list.columnCount(); ++column)
            cells << list.text(row, column);
        rows << cells;
    }
    return rows;
}

Rows gridRows(const GridModel &grid)
{
    Rows rows;
    for (int row = 0; row < grid.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid.columnCount(); ++column)
            cells << grid.data(grid.index(row, column), Qt::DisplayRole).toString();
        rows << cells;
    }
    return rows;
}

} // namespace

// The same boxes filled in a window and given to the command line must
// give the same rows, cell for cell and in the same order.
class TestCliWindows : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;
    Form1 *m_main = nullptr;

    Rows cliRows(const QStringList &command, const QStringList &keys)
    {
        const test::CliRun run =
            test::runCli(QStringList{QStringLiteral("--dir"), m_folder.path(), QStringLiteral("--format"),
                                     QStringLiteral("json")} + command);
        if (run.exitCode != 0)
            qWarning("exit %d: %s", run.exitCode, run.err.constData());
        return test::jsonRowsAsShown(run.out, keys);
    }

private slots:
    void initTestCase()
    {
        m_folder.writeStandard();
        setProgramFolder(m_folder.path());
        m_main = &FormSlot<Form1>::instance().show();
    }

    void equipmentSearch_data()
    {
        QTest::addColumn<QStringList>("boxes"); // name, item id, amount, its operator, enchant, its operator
        QTest::newRow("all boxes empty") << QStringList{{}, {}, {}, QStringLiteral("="), {}, QStringLiteral("=")};
        QTest::newRow("name") << QStringList{QStringLiteral("李"), {}, {}, QStringLiteral("="), {}, QStringLiteral("=")};
        QTest::newRow("blanks only") << QStringList{QStringLiteral("  "), {}, {}, QStringLiteral("="), {}, {}};
        QTest::newRow("quote in name") << QStringList{QStringLiteral("O'B"), {}, {}, {}, {}, {}};
        QTest::newRow("wildcards") << QStringList{QStringLiteral("_"), {}, {}, {}, {}, {}};
        QTest::newRow("unknown item, no name")
            << QStringList{{}, QStringLiteral("999"), {}, QStringLiteral("="), {}, QStringLiteral("=")};
        QTest::newRow("Null enchant") << QStringList{QStringLiteral("赵"), QStringLiteral("57"), {}, {}, {}, {}};
        QTest::newRow("comparisons")
            << QStringList{{}, {}, QStringLiteral("1"), QStringLiteral(">"), QStringLiteral("7"), QStringLiteral("<=")};
        QTest::newRow("operator without selection")
            << QStringList{{}, {}, QStringLiteral("5"), {}, QStringLiteral(" 0 "), QStringLiteral(" <> ")};
    }

    void equipmentSearch()
    {
        QFETCH(QStringList, boxes);
        const char *const textBoxes[] = {"Text1", "Text2", "Text3", nullptr, "Text4", nullptr};
        for (int i : {0, 1, 2, 4})
            type(m_main, textBoxes[i], boxes[i]);
        typeOperator(m_main, "Combo1", boxes[3]);
        typeOperator(m_main, "Combo2", boxes[5]);
        click(m_main, "Command1");

        QStringList command{QStringLiteral("equip"), QStringLiteral("--amount-op"), boxes[3],
                            QStringLiteral("--enchant-op"), boxes[5]};
        const char *const options[] = {"--name", "--item-id", "--amount", nullptr, "--enchant", nullptr};
        for (int i : {0, 1, 2, 4}) {
            if (!boxes[i].isEmpty())
                command << QString::fromLatin1(options[i]) << boxes[i];
        }
        const Rows shown = listRows(m_main->resultList());
        QVERIFY(!shown.isEmpty());
        QCOMPARE(cliRows(command, ResultKeys), shown);
    }

    void petSearch_data()
    {
        QTest::addColumn<QString>("pet");
        QTest::newRow("Chinese") << QStringLiteral("小");
        QTest::newRow("Latin") << QStringLiteral("Shadow");
        QTest::newRow("every pet, one without a name") << QStringLiteral("%");
        QTest::newRow("nothing") << QStringLiteral("xyz");
    }

    void petSearch()
    {
        QFETCH(QString, pet);
        type(m_main, "Text5", pet);
        click(m_main, "Command2");
        QCOMPARE(cliRows({QStringLiteral("pet"), pet}, ResultKeys), listRows(m_main->resultList()));
    }

    void itemLookup_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("id listed twice") << QStringLiteral("57") << QString();
        QTest::newRow("name") << QString() << QStringLiteral("剑");
        QTest::newRow("name, either case") << QString() << QStringLiteral("sword");
        QTest::newRow("both") << QStringLiteral("57") << QStringLiteral("重复");
        QTest::newRow("negative id") << QStringLiteral("-5") << QString();
        QTest::newRow("nothing") << QStringLiteral("12345") << QString();
    }

    void itemLookup()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        click(m_main, "Command3");
        const Form2 *lookup = FormSlot<Form2>::instance().form();
        type(lookup, "Text1_0", id);
        type(lookup, "Text1_1", name);
        click(lookup, "Command1");

        QStringList command{QStringLiteral("item")};
        if (!id.isEmpty())
            command << QStringLiteral("--id") << id;
        if (!name.isEmpty())
            command << QStringLiteral("--name") << name;
        QCOMPARE(cliRows(command, ItemKeys), gridRows(lookup->grid()));
    }

    void accountLookup_data()
    {
        QTest::addColumn<QString>("character");
        QTest::newRow("name used twice") << QStringLiteral("李逍遥");
        QTest::newRow("quote") << QStringLiteral("O'Brien");
        QTest::newRow("underscore taken literally") << QStringLiteral("a_b");
    }

    void accountLookup()
    {
        QFETCH(QString, character);
        click(m_main, "Command4");
        const Form3 *account = FormSlot<Form3>::instance().form();
        type(account, "Text1", character);
        click(account, "Command1");
        const Rows shown = listRows(account->characterList());
        QVERIFY(!shown.isEmpty());
        QCOMPARE(cliRows({QStringLiteral("account"), character}, CharacterKeys), shown);
    }
};

QTEST_MAIN(TestCliWindows)
#include "test_cli_windows.moc"
