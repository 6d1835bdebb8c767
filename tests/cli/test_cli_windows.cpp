#include "CliInProcess.h"
#include "Fixtures.h"
#include "FormDriving.h"
#include "ui/GridModel.h"
#include "ui/RowListModel.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"
#include "ui/main/Form1.h"

#include <QComboBox>

using namespace realm;
using namespace realm::ui;

using Rows = QList<QStringList>;

namespace {

const QStringList ResultKeys = {QStringLiteral("char_name"), QStringLiteral("item_id"), QStringLiteral("item_name"),
                                QStringLiteral("amount"), QStringLiteral("enchant"), QStringLiteral("pet_name")};
const QStringList ItemKeys = {QStringLiteral("id"), QStringLiteral("name_c"), QStringLiteral("name_e")};
const QStringList CharacterKeys = {QStringLiteral("char_name"), QStringLiteral("account_name")};

// The main window's text boxes and the options that stand for them.
struct TextBox {
    const char *control;
    const char *option;
};
const TextBox EquipmentBoxes[] = {{"Text1", "--name"}, {"Text2", "--item-id"}, {"Text3", "--amount"}, {"Text4", "--enchant"}};

void typeOperator(const QWidget *form, const QString &combo, const QString &text)
{
    test::typeInto(test::control<QComboBox>(form, combo)->lineEdit(), text);
}

Rows listRows(const RowListModel &list)
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
        const test::CliRun run = test::runCliInProcess(QStringList{QStringLiteral("--dir"), m_folder.path(), QStringLiteral("--format"),
                                                                   QStringLiteral("json")}
                                                       + command);
        if (run.exitCode != 0)
            qWarning("exit %d: %s", run.exitCode, run.err.constData());
        return test::jsonRowsAsShown(run.out, keys);
    }

private slots:
    void initTestCase()
    {
        m_folder.writeStandard();
        m_main = &test::startProgram(m_folder.path());
    }

    void equipmentSearch_data()
    {
        QTest::addColumn<QStringList>("texts"); // name, item id, amount, enchant
        QTest::addColumn<QString>("amountOperator");
        QTest::addColumn<QString>("enchantOperator");
        const QString equals = QStringLiteral("=");
        QTest::newRow("all boxes empty") << QStringList{{}, {}, {}, {}} << equals << equals;
        QTest::newRow("name") << QStringList{QStringLiteral("李"), {}, {}, {}} << equals << equals;
        QTest::newRow("blanks only") << QStringList{QStringLiteral("  "), {}, {}, {}} << equals << QString();
        QTest::newRow("quote in name") << QStringList{QStringLiteral("O'B"), {}, {}, {}} << QString() << QString();
        QTest::newRow("wildcards") << QStringList{QStringLiteral("_"), {}, {}, {}} << QString() << QString();
        QTest::newRow("unknown item, no name") << QStringList{{}, QStringLiteral("999"), {}, {}} << equals << equals;
        QTest::newRow("Null enchant") << QStringList{QStringLiteral("赵"), QStringLiteral("57"), {}, {}} << QString()
                                      << QString();
        QTest::newRow("comparisons") << QStringList{{}, {}, QStringLiteral("1"), QStringLiteral("7")}
                                     << QStringLiteral(">") << QStringLiteral("<=");
        QTest::newRow("operator without selection") << QStringList{{}, {}, QStringLiteral("5"), QStringLiteral(" 0 ")}
                                                    << QString() << QStringLiteral(" <> ");
    }

    void equipmentSearch()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, amountOperator);
        QFETCH(QString, enchantOperator);
        QStringList command{QStringLiteral("equip"), QStringLiteral("--amount-op"), amountOperator,
                            QStringLiteral("--enchant-op"), enchantOperator};
        for (qsizetype i = 0; i < texts.size(); ++i) {
            test::typeInto(m_main, QString::fromLatin1(EquipmentBoxes[i].control), texts[i]);
            if (!texts[i].isEmpty())
                command << QString::fromLatin1(EquipmentBoxes[i].option) << texts[i];
        }
        typeOperator(m_main, QStringLiteral("Combo1"), amountOperator);
        typeOperator(m_main, QStringLiteral("Combo2"), enchantOperator);
        test::click(m_main, QStringLiteral("Command1"));

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
        test::typeInto(m_main, QStringLiteral("Text5"), pet);
        test::click(m_main, QStringLiteral("Command2"));
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
        test::click(m_main, QStringLiteral("Command3"));
        const Form2 *lookup = FormSlot<Form2>::instance().form();
        test::typeInto(lookup, QStringLiteral("Text1_0"), id);
        test::typeInto(lookup, QStringLiteral("Text1_1"), name);
        test::click(lookup, QStringLiteral("Command1"));

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
        test::click(m_main, QStringLiteral("Command4"));
        const Form3 *account = FormSlot<Form3>::instance().form();
        test::typeInto(account, QStringLiteral("Text1"), character);
        test::click(account, QStringLiteral("Command1"));
        const Rows shown = listRows(account->characterList());
        QVERIFY(!shown.isEmpty());
        QCOMPARE(cliRows({QStringLiteral("account"), character}, CharacterKeys), shown);
    }
};

QTEST_MAIN(TestCliWindows)
#include "test_cli_windows.moc"
