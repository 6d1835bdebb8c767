#include "query/BoxText.h"
#include "query/EquipmentQuery.h"
#include "query/LookupQueries.h"
#include "query/NumberText.h"

#include <QTest>

using namespace realm;

Q_DECLARE_METATYPE(realm::EquipmentFilters)

class TestQueries : public QObject {
    Q_OBJECT

private slots:
    void trimBlanksKeepsTabsAndIdeographicSpace()
    {
        QCOMPARE(trimBlanks(u"  a b  "), QStringLiteral("a b"));
        QCOMPARE(trimBlanks(u"\ta\t"), QStringLiteral("\ta\t"));
        QCOMPARE(trimBlanks(u"\u3000a "), QStringLiteral("\u3000a"));
        QCOMPARE(trimBlanks(u"   "), QString());
    }

    void numberText_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << QStringLiteral("12") << QStringLiteral("12");
        QTest::newRow("blanks around") << QStringLiteral(" 7 ") << QStringLiteral("7");
        QTest::newRow("trailing letters") << QStringLiteral("12abc") << QStringLiteral("12");
        QTest::newRow("no number") << QStringLiteral("abc") << QStringLiteral("0");
        QTest::newRow("trailing zero") << QStringLiteral("1.50") << QStringLiteral("1.5");
        QTest::newRow("negative") << QStringLiteral("-3") << QStringLiteral("-3");
        QTest::newRow("plus sign") << QStringLiteral("+5") << QStringLiteral("5");
        QTest::newRow("inner blank") << QStringLiteral("1 2") << QStringLiteral("12");
        QTest::newRow("tab and line feed inside") << QStringLiteral("1\t2\n3") << QStringLiteral("123");
        QTest::newRow("exponent") << QStringLiteral("1e3") << QStringLiteral("1000");
        QTest::newRow("D exponent") << QStringLiteral("2D2") << QStringLiteral("200");
        QTest::newRow("negative exponent") << QStringLiteral("25e-1") << QStringLiteral("2.5");
        QTest::newRow("exponent without digits") << QStringLiteral("4e") << QStringLiteral("4");
        QTest::newRow("second point") << QStringLiteral("3.5.1") << QStringLiteral("3.5");
        QTest::newRow("only blanks") << QStringLiteral("   ") << QStringLiteral("0");
        QTest::newRow("leading zeros") << QStringLiteral("007") << QStringLiteral("7");
        QTest::newRow("point first") << QStringLiteral(".25") << QStringLiteral("0.25");
        QTest::newRow("sign alone") << QStringLiteral("-") << QStringLiteral("0");
        QTest::newRow("hexadecimal") << QStringLiteral("&H1F") << QStringLiteral("31");
        QTest::newRow("hexadecimal lower case") << QStringLiteral("&hff") << QStringLiteral("255");
        QTest::newRow("hexadecimal 16-bit sign") << QStringLiteral("&HFFFF") << QStringLiteral("-1");
        QTest::newRow("hexadecimal 32-bit sign") << QStringLiteral("&HFFFFFFFF") << QStringLiteral("-1");
        QTest::newRow("hexadecimal beyond 16 bits") << QStringLiteral("&H10000") << QStringLiteral("65536");
        QTest::newRow("octal") << QStringLiteral("&O17") << QStringLiteral("15");
        QTest::newRow("octal stops at 8") << QStringLiteral("&O78") << QStringLiteral("7");
        QTest::newRow("15 significant digits") << QStringLiteral("123456789012345678") << QStringLiteral("1.23456789012346E+17");
        QTest::newRow("fraction rounded to 15 digits") << QStringLiteral("0.1234567890123456") << QStringLiteral("0.123456789012346");
        QTest::newRow("just below 1E+15") << QStringLiteral("999999999999999") << QStringLiteral("999999999999999");
        QTest::newRow("1E+15") << QStringLiteral("1000000000000000") << QStringLiteral("1E+15");
        QTest::newRow("rounds up to 1E+15") << QStringLiteral("999999999999999.9") << QStringLiteral("1E+15");
        QTest::newRow("negative exponent form") << QStringLiteral("-2.5e20") << QStringLiteral("-2.5E+20");
        QTest::newRow("tiny") << QStringLiteral("0.00001") << QStringLiteral("1E-05");
        QTest::newRow("negative zero") << QStringLiteral("-0") << QStringLiteral("0");
    }
    void numberText()
    {
        QFETCH(QString, box);
        QFETCH(QString, expected);
        const auto read = readNumberBox(box, QStringLiteral("box"));
        QVERIFY(read);
        QCOMPARE(read->sqlText, expected);
        // The note comes from the same reading: it names the number searched for.
        QVERIFY(read->note.isEmpty() || read->note.contains(expected));
    }

    void numbersBeyondTheRangeAreRefused()
    {
        QVERIFY(!readNumberBox(QStringLiteral("1e999"), QStringLiteral("box")));
        QVERIFY(!readNumberBox(QStringLiteral("-1e400"), QStringLiteral("box")));
        QCOMPARE(readNumberBox(QStringLiteral("1e-999"), QStringLiteral("box"))->sqlText, QStringLiteral("0"));
    }

    void equipmentQueryComposesThePieces_data()
    {
        QTest::addColumn<EquipmentFilters>("filters");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QStringList>("parameters");
        const QString eq = QStringLiteral("=");
        QTest::newRow("no filter") << EquipmentFilters{{}, {}, {}, eq, {}, eq, {}} << QString() << QStringList();
        QTest::newRow("name amount")
            << EquipmentFilters{QStringLiteral(" abc "), {}, QStringLiteral("5"), QStringLiteral(">"), {}, eq, {}}
            << QStringLiteral(" and user_data.char_name like ? and user_item.amount>5") << QStringList{QStringLiteral("%abc%")};
        QTest::newRow("blank name matches all")
            << EquipmentFilters{QStringLiteral("  "), {}, {}, eq, {}, eq, {}} << QStringLiteral(" and user_data.char_name like ?")
            << QStringList{QStringLiteral("%%")};
        QTest::newRow("quote and wildcards stay in the parameter")
            << EquipmentFilters{QStringLiteral("O'B_%"), {}, {}, eq, {}, eq, {}}
            << QStringLiteral(" and user_data.char_name like ?") << QStringList{QStringLiteral("%O'B_%%")};
        QTest::newRow("blank item id is 0")
            << EquipmentFilters{{}, QStringLiteral(" "), {}, eq, {}, eq, {}} << QStringLiteral(" and user_item.item_type=0") << QStringList();
        QTest::newRow("operator without number")
            << EquipmentFilters{{}, {}, {}, QStringLiteral(">"), {}, QStringLiteral("<"), {}} << QString() << QStringList();
        QTest::newRow("number without operator")
            << EquipmentFilters{{}, {}, QStringLiteral("3"), {}, QStringLiteral("4"), {}, {}} << QString() << QStringList();
        QTest::newRow("all four")
            << EquipmentFilters{QStringLiteral("李"), QStringLiteral("57"), QStringLiteral("1.50"), QStringLiteral(">"), QStringLiteral("abc"), QStringLiteral("="), {}}
            << QStringLiteral(" and user_data.char_name like ? and user_item.item_type=57 and user_item.amount>1.5"
                              " and user_item.enchant=0")
            << QStringList{QStringLiteral("%李%")};
        QTest::newRow("typed operators with blanks")
            << EquipmentFilters{{}, {}, QStringLiteral("1"), QStringLiteral(" <= "), QStringLiteral("2"), QStringLiteral("<>"), {}}
            << QStringLiteral(" and user_item.amount<=1 and user_item.enchant<>2") << QStringList();
    }
    void equipmentQueryComposesThePieces()
    {
        QFETCH(EquipmentFilters, filters);
        QFETCH(QString, tail);
        QFETCH(QStringList, parameters);
        const SqlStatement statement = equipmentQuery(filters).statement;
        QCOMPARE(statement.text, EquipmentSelect + tail);
        QCOMPARE(statement.parameters, parameters);
    }

    void fixedSelectTextsKeepTheirEdgeBlanks()
    {
        QVERIFY(EquipmentSelect.endsWith(u' '));
        QVERIFY(PetSelect.startsWith(u' '));
    }

    void badEquipmentInputRunsNoQuery_data()
    {
        QTest::addColumn<EquipmentFilters>("filters");
        QTest::addColumn<QString>("box");
        const QString eq = QStringLiteral("=");
        QTest::newRow("not an operator")
            << EquipmentFilters{{}, {}, QStringLiteral("1"), QStringLiteral("=1 or 1=1 --"), {}, eq, {}} << QStringLiteral("数量");
        QTest::newRow("word operator") << EquipmentFilters{{}, {}, {}, eq, QStringLiteral("1"), QStringLiteral("like"), {}}
                                       << QStringLiteral("+几的属性");
        QTest::newRow("item id too large") << EquipmentFilters{{}, QStringLiteral("1e999"), {}, eq, {}, eq, {}}
                                           << QStringLiteral("装备ID");
        QTest::newRow("amount too large") << EquipmentFilters{{}, {}, QStringLiteral("9e999"), eq, {}, eq, {}}
                                          << QStringLiteral("数量");
    }
    void badEquipmentInputRunsNoQuery()
    {
        QFETCH(EquipmentFilters, filters);
        QFETCH(QString, box);
        try {
            equipmentQuery(filters);
            QFAIL("a query was built");
        } catch (const InputError &error) {
            QVERIFY2(error.message().contains(box), qPrintable(error.message()));
        }
    }

    void petQuery()
    {
        QCOMPARE(realm::petQuery(QString()), std::nullopt);
        const auto statement = realm::petQuery(QStringLiteral(" wolf "));
        QVERIFY(statement);
        QCOMPARE(statement->text, PetSelect);
        QCOMPARE(statement->parameters, QStringList{QStringLiteral("%wolf%")});
        QCOMPARE(realm::petQuery(QStringLiteral(" "))->parameters, QStringList{QStringLiteral("%%")});
    }

    void itemLookupQuery_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parameters");
        QTest::newRow("id") << QStringLiteral("12abc") << QString() << QStringLiteral("select * from item where id=12")
                            << QStringList();
        QTest::newRow("name") << QString() << QStringLiteral(" 长 剑 ") << QStringLiteral("select * from item where (c like ? or e like ?)")
                              << QStringList{QStringLiteral("%长 剑%"), QStringLiteral("%长 剑%")};
        QTest::newRow("both") << QStringLiteral("007") << QStringLiteral("剑")
                              << QStringLiteral("select * from item where id=7 and (c like ? or e like ?)")
                              << QStringList{QStringLiteral("%剑%"), QStringLiteral("%剑%")};
    }
    void itemLookupQuery()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QStringList, parameters);
        const auto statement = realm::itemLookupQuery(id, name);
        QVERIFY(statement);
        QCOMPARE(statement->statement.text, text);
        QCOMPARE(statement->statement.parameters, parameters);
        QVERIFY(!realm::itemLookupQuery(QString(), QString()));
        QVERIFY_THROWS_EXCEPTION(InputError, realm::itemLookupQuery(QStringLiteral("1e999"), QString()));
    }

    void accountQueriesTrimOnlyTheName()
    {
        QCOMPARE(characterQuery(QStringLiteral("  李 逍遥  ")).parameters, QStringList{QStringLiteral("李 逍遥")});
        QCOMPARE(accountCharactersQuery(QStringLiteral("acct ")).parameters, QStringList{QStringLiteral("acct ")});
    }
};

QTEST_GUILESS_MAIN(TestQueries)
#include "test_queries.moc"
