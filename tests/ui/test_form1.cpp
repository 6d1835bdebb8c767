#include "Fixtures.h"
#include "FormDriving.h"
#include "data/Module1.h"
#include "startup/ProgramFolder.h"
#include "ui/RowListModel.h"
#include "ui/main/Form1.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <algorithm>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

using Rows = QList<QStringList>;

// The main window driven as a user drives it: typing into the boxes,
// picking or typing operators, clicking the search buttons.
class TestForm1 : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;
    Form1 *m_form = nullptr;

    template <class Widget>
    Widget *control(const char *name) const
    {
        auto *widget = m_form->findChild<Widget *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

    void type(const char *box, const QString &text)
    {
        test::typeInto(control<QLineEdit>(box), text);
    }

    void typeOperator(const char *box, const QString &text)
    {
        test::typeInto(control<QComboBox>(box)->lineEdit(), text);
    }

    void click(const char *button) { test::click(m_form, QString::fromLatin1(button)); }

    Rows rows() const
    {
        Rows result;
        const RowListModel &list = m_form->resultList();
        for (int row = 0; row < list.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list.columnCount(); ++column)
                cells << list.text(row, column);
            result << cells;
        }
        return result;
    }

    // The join's row order is the database's choice; compare as sets.
    Rows sortedRows() const
    {
        Rows result = rows();
        std::sort(result.begin(), result.end());
        return result;
    }

    QString status() const { return test::withoutTimeTaken(control<QLabel>("StatusLine")->toolTip()); }

    void searchEquipment(const QString &name, const QString &itemId = {}, const QString &amount = {},
                         const QString &enchant = {})
    {
        type("Text1", name);
        type("Text2", itemId);
        type("Text3", amount);
        type("Text4", enchant);
        click("Command1");
    }

    static QStringList names(const Rows &rows)
    {
        QStringList result;
        for (const QStringList &row : rows)
            result << row[0];
        return result;
    }

private slots:
    void initTestCase()
    {
        m_folder.writeStandard();
        m_form = &test::startProgram(m_folder.path());
    }

    void init()
    {
        typeOperator("Combo1", QStringLiteral("="));
        typeOperator("Combo2", QStringLiteral("="));
        type("Text5", {});
    }

    void startsWithOperatorListsAndEmptyBoxes()
    {
        for (const char *name : {"Combo1", "Combo2"}) {
            auto *combo = control<QComboBox>(name);
            QStringList operators;
            for (int index = 0; index < combo->count(); ++index)
                operators << combo->itemText(index);
            QCOMPARE(operators, (QStringList{u">"_s, u"<"_s, u"="_s, u"<="_s, u">="_s, u"<>"_s}));
            // The widest shows whole in the edit field, left of the number box.
            QVERIFY(combo->lineEdit()->width() > combo->lineEdit()->fontMetrics().horizontalAdvance(u"<>"_s));
            QVERIFY(combo->geometry().right() < control<QLineEdit>(name == QByteArray("Combo1") ? "Text3" : "Text4")->x());
        }
        FormSlot<Form1>::instance().unload();
        QTRY_VERIFY(!FormSlot<Form1>::instance().isLoaded());
        m_form = &test::showForm<Form1>();
        QCOMPARE(control<QComboBox>("Combo1")->currentText(), QStringLiteral("="));
        QCOMPARE(control<QComboBox>("Combo2")->currentIndex(), 2);
        for (const char *box : {"Text1", "Text2", "Text3", "Text4", "Text5"})
            QCOMPARE(control<QLineEdit>(box)->text(), QString());
        QCOMPARE(m_form->resultList().rowCount(), 0);
        QCOMPARE(m_form->resultList().headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("宠物名称"));
    }

    void equipmentRowsShowNamesAndEnchantLevels()
    {
        searchEquipment(QStringLiteral("李逍遥"));
        QCOMPARE(sortedRows(), (Rows{{QStringLiteral("李逍遥"), QStringLiteral("57"), QStringLiteral("青铜长剑"), QStringLiteral("1"), QStringLiteral("+12"), QString()}, {QStringLiteral("李逍遥"), QStringLiteral("58"), QStringLiteral("白银长剑"), QStringLiteral("5"), QStringLiteral("+0"), QString()}, {QStringLiteral("李逍遥"), QStringLiteral("7"), QStringLiteral("狼宠召唤石"), QStringLiteral("1"), QStringLiteral("+0"), QString()}}));
        QCOMPARE(status(), QStringLiteral("共 3 行"));
    }

    void nullEnchantAndUnknownItemLeaveCellsEmpty()
    {
        searchEquipment(QStringLiteral("赵灵儿"), QStringLiteral("57"));
        QCOMPARE(rows(), (Rows{{QStringLiteral("赵灵儿"), QStringLiteral("57"), QStringLiteral("青铜长剑"), QStringLiteral("3"), QStringLiteral("+"), QString()}}));
        searchEquipment(QStringLiteral("林月如"), QStringLiteral("999"));
        QCOMPARE(rows(), (Rows{{QStringLiteral("林月如"), QStringLiteral("999"), QString(), QStringLiteral("10"), QStringLiteral("+2"), QString()}}));
    }

    void filtersNarrowTheSearch_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("itemId");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("amountOperator");
        QTest::addColumn<QString>("enchant");
        QTest::addColumn<QString>("enchantOperator");
        QTest::addColumn<int>("count");
        const QString eq = QStringLiteral("=");
        QTest::newRow("no filter") << QString() << QString() << QString() << eq << QString() << eq << 11;
        QTest::newRow("blank name matches all") << QStringLiteral("  ") << QString() << QString() << eq << QString() << eq << 11;
        QTest::newRow("blank item id is 0") << QString() << QStringLiteral(" ") << QString() << eq << QString() << eq << 0;
        QTest::newRow("12abc is item 12") << QString() << QStringLiteral("57abc") << QString() << eq << QString() << eq << 2;
        QTest::newRow("abc amount is 0") << QString() << QString() << QStringLiteral("abc") << QStringLiteral(">") << QString()
                                         << eq << 11;
        QTest::newRow("1.50 amount") << QString() << QString() << QStringLiteral("1.50") << QStringLiteral(">") << QString()
                                     << eq << 6;
        QTest::newRow("operator without number") << QString() << QString() << QString() << QStringLiteral("<") << QString()
                                                 << QStringLiteral(">") << 11;
        QTest::newRow("number without operator") << QString() << QString() << QStringLiteral("1") << QString()
                                                 << QStringLiteral("0") << QString() << 11;
        QTest::newRow("typed <= operator") << QString() << QString() << QStringLiteral("3") << QStringLiteral(" <= ")
                                           << QString() << eq << 7;
        QTest::newRow("enchant >=") << QString() << QString() << QString() << eq << QStringLiteral("7")
                                    << QStringLiteral(">=") << 2;
        QTest::newRow("percent is a wildcard") << QStringLiteral("%") << QString() << QString() << eq << QString() << eq << 11;
        QTest::newRow("underscore is one character") << QStringLiteral("a_b") << QString() << QString() << eq << QString()
                                                     << eq << 2;
        QTest::newRow("quote is a character") << QStringLiteral("O'Brien") << QString() << QString() << eq << QString()
                                              << eq << 1;
        QTest::newRow("name with blanks around") << QStringLiteral(" 灵儿 ") << QString() << QString() << eq << QString()
                                                 << eq << 2;
    }
    void filtersNarrowTheSearch()
    {
        QFETCH(QString, amountOperator);
        QFETCH(QString, enchantOperator);
        QFETCH(int, count);
        typeOperator("Combo1", amountOperator);
        typeOperator("Combo2", enchantOperator);
        QFETCH(QString, name);
        QFETCH(QString, itemId);
        QFETCH(QString, amount);
        QFETCH(QString, enchant);
        searchEquipment(name, itemId, amount, enchant);
        QCOMPARE(m_form->resultList().rowCount(), count);
        QCOMPARE(status().section(u'；', 0, 0), QStringLiteral("共 %1 行").arg(count));
    }

    void pickedOperatorFromTheList()
    {
        auto *combo = control<QComboBox>("Combo1");
        combo->setCurrentIndex(0);
        searchEquipment({}, {}, QStringLiteral("10"));
        QCOMPARE(sortedRows(), (Rows{{QStringLiteral("a_b"), QStringLiteral("1"), QStringLiteral("金币"), QStringLiteral("500"), QStringLiteral("+0"), QString()}, {QStringLiteral("axb"), QStringLiteral("1"), QStringLiteral("金币"), QStringLiteral("20"), QStringLiteral("+0"), QString()}}));
    }

    void badInputRunsNoQueryAndSaysSo()
    {
        searchEquipment(QStringLiteral("李逍遥"));
        const Rows before = rows();
        typeOperator("Combo1", QStringLiteral("= 1 or 1"));
        searchEquipment({}, {}, QStringLiteral("1"));
        QCOMPARE(rows(), before);
        QVERIFY2(status().contains(QStringLiteral("数量")), qPrintable(status()));
        typeOperator("Combo1", QStringLiteral("="));
        searchEquipment({}, QStringLiteral("1e999"));
        QCOMPARE(rows(), before);
        QVERIFY2(status().contains(QStringLiteral("装备ID")), qPrintable(status()));
    }

    void numbersReadDifferentlyThanTypedAreNamedInTheStatusLine()
    {
        searchEquipment({}, QStringLiteral("57,000"));
        QCOMPARE(status(), QStringLiteral("共 2 行；装备ID“57,000”按 57 查询"));
        searchEquipment({}, QStringLiteral("57"));
        QCOMPARE(status(), QStringLiteral("共 2 行"));
    }

    void failedQueryEmptiesTheListAndShowsTheError()
    {
        searchEquipment(QStringLiteral("李逍遥"));
        QVERIFY(!rows().isEmpty());
        Module1 &module = test::sharedModule();
        const auto gameConn = module.gameConn;
        test::FixtureFolder broken;
        broken.writeGameDatabase(QStringLiteral("CREATE TABLE user_data (char_id INTEGER);"));
        module.gameConn = openGameConnection(Settings{{}, broken.file(QStringLiteral("realmdb.sqlite")), {}}, broken.path());
        searchEquipment(QStringLiteral("李逍遥"));
        module.gameConn = gameConn;
        QCOMPARE(m_form->resultList().rowCount(), 0);
        QVERIFY2(status().contains(QStringLiteral("user_item")), qPrintable(status()));
        searchEquipment(QStringLiteral("李逍遥"));
        QCOMPARE(m_form->resultList().rowCount(), 3);
    }

    void petSearchShowsNicknames()
    {
        type("Text5", QStringLiteral(" 小白 "));
        click("Command2");
        QCOMPARE(rows(), (Rows{{QStringLiteral("李逍遥"), QStringLiteral("7"), QStringLiteral("狼宠召唤石"), QStringLiteral("1"), QStringLiteral("+0"), QStringLiteral("小白")}}));
        type("Text5", QStringLiteral(" "));
        click("Command2");
        QCOMPARE(rows().size(), 2);
        for (const QStringList &row : rows())
            QVERIFY(!row[5].isEmpty());
    }

    // Every action says what it did: the time a search took, the rows
    // copied, and that a pet search needs a name.
    void emptyPetBoxLeavesTheListAndAsksForAName()
    {
        searchEquipment(QStringLiteral("李逍遥"));
        QVERIFY2(control<QLabel>("StatusLine")->toolTip().contains(u"；用时 "_s), qPrintable(status()));
        const Rows before = rows();
        type("Text5", {});
        click("Command2");
        QCOMPARE(rows(), before);
        QCOMPARE(status(), u"请输入宠物名称。"_s);
        auto *list = control<QTableView>("ListView1");
        list->selectRow(0);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(status(), u"已复制 1 行"_s);
    }

    void sameSearchTwiceGivesTheSameRows()
    {
        searchEquipment(QStringLiteral("逍遥"));
        const Rows first = rows();
        click("Command1");
        QCOMPARE(rows(), first);
        QCOMPARE(first.size(), 3);
    }

    void layoutFollowsTheDesign_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("caption");
        auto row = [](const char *name, int l, int t, int w, int h, const QString &caption = {}) {
            QTest::newRow(name) << QString::fromLatin1(name) << QRect(l, t, w, h) << caption;
        };
        row("Label1", 120, 240, 975, 255, QStringLiteral("角色名称"));
        row("Text1", 1200, 240, 1815, 270);
        row("Label2", 120, 600, 975, 255, QStringLiteral("装备ID"));
        row("Text2", 1200, 600, 1815, 270);
        row("Label3", 120, 960, 975, 255, QStringLiteral("数    量"));
        row("Text3", 1920, 960, 1815, 270);
        row("Label4", 120, 1320, 975, 255, QStringLiteral("+几的属性"));
        row("Text4", 1920, 1320, 1815, 270);
        row("Label5", 3240, 240, 975, 255, QStringLiteral("宠物名称"));
        row("Text5", 4200, 240, 1575, 270);
        row("Command1", 120, 1680, 1095, 495, QStringLiteral("装备查询"));
        row("Command2", 3240, 1680, 1095, 495, QStringLiteral("宠物查询"));
        row("Command3", 6120, 120, 1095, 495, QStringLiteral("物品ID查询"));
        row("Combo1", 1200, 960, 615, 300);
        row("Combo2", 1200, 1320, 615, 300);
        row("ListView1", 240, 2280, 8655, 4335);
        row("Label6", 4560, 1800, 1335, 375);
        row("Command4", 6120, 720, 1095, 495, QStringLiteral("角色查询"));
    }
    void layoutFollowsTheDesign()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, caption);
        auto *widget = m_form->findChild<QWidget *>(name);
        QVERIFY(widget);
        const auto px = [](int t) { return (t + 7) / 15; };
        QRect designed(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
        // An operator box may grow to the right to show its widest operator.
        if (qobject_cast<QComboBox *>(widget) && widget->width() > designed.width())
            designed.setWidth(widget->width());
        QCOMPARE(widget->geometry(), designed);
        if (auto *label = qobject_cast<QLabel *>(widget); label && !caption.isEmpty())
            QCOMPARE(label->text(), caption);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->text(), caption);
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
    }

    void windowCaptionSizeAndColumns()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("云帆星域装备查询系统"));
        QCOMPARE(m_form->size(), QSize(613, 455));
        auto *header = control<QTableView>("ListView1")->horizontalHeader();
        const QList<int> widths = {96, 96, 96, 67, 67, 133};
        for (int i = 0; i < widths.size(); ++i)
            QCOMPARE(header->sectionSize(i), widths[i]);
        QCOMPARE(control<QTableView>("ListView1")->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    }

    void tabOrderVisitsTheControlsInTurn()
    {
        const QStringList expected = {QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"),
                                      QStringLiteral("Text5"), QStringLiteral("Command1"), QStringLiteral("Command2"),
                                      QStringLiteral("Command3"), QStringLiteral("Combo1"), QStringLiteral("Combo2"),
                                      QStringLiteral("ListView1"), QStringLiteral("ItemTotalsList"),
                                      QStringLiteral("CharacterTotalsList"), QStringLiteral("DuplicatesList"),
                                      QStringLiteral("Command4"), QStringLiteral("ItemNameBox"),
                                      QStringLiteral("ItemTotalsButton"), QStringLiteral("CharacterTotalsButton"),
                                      QStringLiteral("DuplicatesButton"), QStringLiteral("Text1")};
        QWidget *at = control<QLineEdit>("Text1");
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus) || at->objectName().isEmpty() || at->objectName() == u"StatusLine");
            visited << at->objectName();
        }
        QCOMPARE(visited, expected);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
