#include "Fixtures.h"
#include "FormDriving.h"
#include "ui/GridModel.h"
#include "ui/RowListModel.h"
#include "ui/Worksheet.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"
#include "ui/main/Form1.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTableView>

#include <csignal>
#include <sys/resource.h>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

namespace {

// Equipment rows with amounts below 1000, pets above: Chinese names whose
// pinyin order differs from their code point order, a name twice, an item
// id thrice, a Null enchant, a negative one, an unknown item (no name).
// The pets' names hold what breaks delimited text and what a spreadsheet
// runs as a formula.
const QString GameSql = uR"(
CREATE TABLE user_data (char_id INTEGER, char_name TEXT, account_name TEXT);
CREATE TABLE user_item (item_id INTEGER, char_id INTEGER, item_type INTEGER, amount INTEGER, enchant INTEGER);
CREATE TABLE pet_data (pet_id INTEGER, nick_name TEXT);
INSERT INTO user_data VALUES (1,'张三','acct1'),(2,'阿明','acct1'),(3,'李四','acct2'),(4,'王五','acct3'),(5,'陈六','acct3');
INSERT INTO user_item VALUES (101,1,57,1,12),(102,1,58,5,0),(103,2,57,3,NULL),(104,3,999,10,2),(105,4,100,2,7),
  (106,5,7,1,-1),(107,2,1,500,0),(108,3,57,20,0),
  (201,4,7,1001,0),(202,4,7,1002,0),(203,5,7,1003,0),(204,5,7,1004,0),(205,5,7,1005,0);
INSERT INTO pet_data VALUES (201,'=1+2'),(202,'a' || char(9) || 'b'),(203,'say "hi", twice'),
  (204,'line' || char(10) || 'two'),(205,'-5');
)"_s;
const QString Items = u"1\t金币\tGold\n7\t狼宠召唤石\tWolf Stone\n57\t青铜长剑\tBronze Sword\n58\t白银长剑\tSilver Sword\n"
                      u"100\t铁枪\tIron Spear\n"_s;

QStringList column(const QAbstractItemModel &model, int column)
{
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells << model.index(row, column).data().toString();
    return cells;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// What the reader must find for the list in view: every cell as shown,
// the ids and amounts (and a plain "-5") as numbers, all else as text.
QStringList expectedSheet(const QAbstractItemModel &model)
{
    QStringList lines;
    for (int row = -1; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column) {
            const QString text = row < 0 ? model.headerData(column, Qt::Horizontal).toString()
                                         : model.index(row, column).data().toString();
            const bool number = row >= 0 && (column == 1 || column == 3 || text == u"-5");
            QString escaped = text;
            escaped.replace(u'\t', u"\\t"_s).replace(u'\n', u"\\n"_s);
            cells << (text.isEmpty() ? u"e"_s : number ? u"n"_s
                                                       : u"s"_s)
                    + u':' + escaped;
        }
        lines << cells.join(u'\t');
    }
    return lines;
}

} // namespace

class TestWorksheet : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;
    QTemporaryDir m_exports;
    Form1 *m_form = nullptr;

    QTableView *list() const { return test::control<QTableView>(m_form, u"ListView1"_s); }
    Worksheet *sheet() const { return list()->findChild<Worksheet *>(); }
    QString status() const { return test::withoutTimeTaken(test::control<QLabel>(m_form, u"StatusLine"_s)->toolTip()); }

    void searchEquipment()
    {
        test::typeInto(m_form, u"Text3"_s, u"1000"_s);
        test::typeInto(test::control<QComboBox>(m_form, u"Combo1"_s)->lineEdit(), u"<"_s);
        test::click(m_form, u"Command1"_s);
        QTRY_COMPARE(status(), u"共 8 行"_s);
    }

    void searchPets()
    {
        test::typeInto(m_form, u"Text5"_s, u" "_s);
        test::click(m_form, u"Command2"_s);
        QTRY_COMPARE(status(), u"共 5 行"_s);
    }

    void clickHeader(int section)
    {
        QHeaderView *header = list()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    }

    void clickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    // A double-click as the window system delivers it: press and release,
    // then the second press as a double-click.
    static void doubleClickRow(QAbstractItemView *view, int row)
    {
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    // Opens the context menu on a row and triggers the entry named `text`.
    void chooseFromMenu(int row, const QString &text)
    {
        const QPoint at = list()->visualRect(list()->model()->index(row, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list()->viewport(), &event);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions()) {
            if (action->text() == text) {
                menu->close();
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable(u"no menu entry "_s + text));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        m_folder.writeItems(Items);
        m_folder.writeGameDatabase(GameSql);
        m_folder.writeSqliteIni();
        m_form = &test::startProgram(m_folder.path());
    }

    void init()
    {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }

    void headerClicksSortEachKindOfColumn_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QStringList>("ascending");
        QTest::addColumn<QStringList>("descending");
        QTest::newRow("names by pinyin") << 0 << u"阿明 阿明 陈六 李四 李四 王五 张三 张三"_s.split(u' ')
                                         << u"张三 张三 王五 李四 李四 陈六 阿明 阿明"_s.split(u' ');
        QTest::newRow("item id as number") << 1 << u"1 7 57 57 57 58 100 999"_s.split(u' ')
                                           << u"999 100 58 57 57 57 7 1"_s.split(u' ');
        QTest::newRow("item name, unknown last")
            << 2 << u"白银长剑 金币 狼宠召唤石 青铜长剑 青铜长剑 青铜长剑 铁枪 "_s.split(u' ')
            << u"铁枪 青铜长剑 青铜长剑 青铜长剑 狼宠召唤石 金币 白银长剑 "_s.split(u' ');
        QTest::newRow("amount") << 3 << u"1 1 2 3 5 10 20 500"_s.split(u' ') << u"500 20 10 5 3 2 1 1"_s.split(u' ');
        QTest::newRow("enchant after its plus, Null last")
            << 4 << u"+-1 +0 +0 +0 +2 +7 +12 +"_s.split(u' ') << u"+12 +7 +2 +0 +0 +0 +-1 +"_s.split(u' ');
    }
    void headerClicksSortEachKindOfColumn()
    {
        QFETCH(int, section);
        QFETCH(QStringList, ascending);
        QFETCH(QStringList, descending);
        searchEquipment();
        const QStringList resultOrder = column(m_form->resultList(), 0);
        clickHeader(section);
        QCOMPARE(column(*list()->model(), section), ascending);
        QCOMPARE(list()->horizontalHeader()->sortIndicatorSection(), section);
        QCOMPARE(list()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        clickHeader(section);
        QCOMPARE(column(*list()->model(), section), descending);
        QCOMPARE(list()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        // Sorting moves rows; it never changes them.
        QCOMPARE(column(m_form->resultList(), 0), resultOrder);

        searchEquipment();
        QCOMPARE(column(*list()->model(), 0), resultOrder);
        QCOMPARE(list()->horizontalHeader()->sortIndicatorSection(), -1);
    }

    void equalKeysKeepTheOrderTheyHad()
    {
        searchEquipment();
        clickHeader(3);
        clickHeader(1);
        // Three rows of item 57, in amount order from the sort before.
        QCOMPARE(column(*list()->model(), 3).mid(2, 3), (QStringList{u"1"_s, u"3"_s, u"20"_s}));
        clickHeader(1);
        QCOMPARE(column(*list()->model(), 3).mid(3, 3), (QStringList{u"1"_s, u"3"_s, u"20"_s}));
    }

    void rowsArrivingAfterASortFollowTheSortedOnes()
    {
        QStandardItemModel rows;
        RowOrderModel order(&rows, {ColumnKind::Number});
        for (const QString &text : {u"3"_s, u"1"_s, u"2"_s})
            rows.appendRow(new QStandardItem(text));
        order.sort(0, Qt::DescendingOrder);
        for (const QString &text : {u"9"_s, u"0"_s})
            rows.appendRow(new QStandardItem(text));
        QCOMPARE(column(order, 0), (QStringList{u"3"_s, u"2"_s, u"1"_s, u"9"_s, u"0"_s}));
        QCOMPARE(order.sortColumn(), -1);
        order.sort(0);
        QCOMPARE(column(order, 0), (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"9"_s}));
    }

    void copySelectedRowsInViewOrder()
    {
        searchPets();
        clickHeader(3);
        clickRow(4);
        clickRow(1, Qt::ControlModifier);
        clickRow(3, Qt::ShiftModifier);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u"角色名称\t装备ID\t中文名称\t数量\t+几属性\t宠物名称\n"
                 u"王五\t7\t狼宠召唤石\t1002\t+0\t\"a\tb\"\n"
                 u"陈六\t7\t狼宠召唤石\t1003\t+0\t\"say \"\"hi\"\", twice\"\n"
                 u"陈六\t7\t狼宠召唤石\t1004\t+0\t\"line\ntwo\"\n"
                 u"陈六\t7\t狼宠召唤石\t1005\t+0\t-5\n"_s);
        chooseFromMenu(0, u"复制单元格"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"王五"_s);
        QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list()->selectionModel()->selectedRows().size(), 5);
    }

    void copyWithoutRows()
    {
        test::typeInto(m_form, u"Text5"_s, u"no such pet"_s);
        test::click(m_form, u"Command2"_s);
        QTRY_COMPARE(status(), u"共 0 行"_s);
        const QString header = u"角色名称\t装备ID\t中文名称\t数量\t+几属性\t宠物名称\n"_s;
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), header);
        const QString path = m_exports.filePath(u"none.csv"_s);
        QCOMPARE(sheet()->exportTo(path, ExportFormat::Csv).status, ExportOutcome::Status::Written);
        QCOMPARE(fileBytes(path), u"\xFEFF角色名称,装备ID,中文名称,数量,'+几属性,宠物名称\r\n"_s.toUtf8());
    }

    void exportWritesSpreadsheetText()
    {
        searchPets();
        clickHeader(3);
        clickHeader(3);
        const QString path = m_exports.filePath(u"pets.csv"_s);
        QTest::keyClick(list(), Qt::Key_S, Qt::ControlModifier);
        auto *dialog = m_form->findChild<QFileDialog *>();
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
        QTRY_COMPARE(status(), u"已导出 5 行到 "_s + QDir::toNativeSeparators(path));
        const QByteArray expected = QStringLiteral(
                                        "\xFEFF角色名称,装备ID,中文名称,数量,'+几属性,宠物名称\r\n"
                                        "陈六,7,狼宠召唤石,1005,+0,-5\r\n"
                                        "陈六,7,狼宠召唤石,1004,+0,\"line\ntwo\"\r\n"
                                        "陈六,7,狼宠召唤石,1003,+0,\"say \"\"hi\"\", twice\"\r\n"
                                        "王五,7,狼宠召唤石,1002,+0,a\tb\r\n"
                                        "王五,7,狼宠召唤石,1001,+0,'=1+2\r\n")
                                        .toUtf8();
        QCOMPARE(fileBytes(path), expected);
        const QString tabPath = m_exports.filePath(u"pets.txt"_s);
        QCOMPARE(sheet()->exportTo(tabPath, ExportFormat::TabText).status, ExportOutcome::Status::Written);
        QVERIFY(fileBytes(tabPath).contains("\r\n陈六\t7\t狼宠召唤石\t1004\t+0\t\"line\ntwo\"\r\n"));
    }

    void xlsxHoldsEveryCellAsTheListShowsIt()
    {
        for (const auto search : {&TestWorksheet::searchEquipment, &TestWorksheet::searchPets}) {
            (this->*search)();
            const QString path = m_exports.filePath(u"list.xlsx"_s);
            QCOMPARE(sheet()->exportTo(path, ExportFormat::Xlsx).status, ExportOutcome::Status::Written);
            QStringList lines = test::readXlsx(path, true);
            const QStringList layout = lines.takeFirst().split(u' ');
            QCOMPARE(layout.value(0), u"A2"_s);
            QCOMPARE(layout.value(1), u"bbbbbb"_s);
            // The item names' column fits five Chinese characters.
            QVERIFY2(layout.value(2).split(u',').value(2).toInt() >= 10, qPrintable(layout.value(2)));
            QCOMPARE(lines, expectedSheet(*list()->model()));
        }
    }

    void failedExportLeavesNoFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("missing folder") << u"missing/pets.csv"_s << false;
        QTest::newRow("name of a folder") << u"folder.csv"_s << false;
        QTest::newRow("full disk") << u"full.csv"_s << true;
        QTest::newRow("xlsx, missing folder") << u"missing/pets.xlsx"_s << false;
        QTest::newRow("xlsx, full disk") << u"full.xlsx"_s << true;
    }
    void failedExportLeavesNoFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, diskFull);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(u"folder.csv"_s));
        const QString path = folder.filePath(name);
        if (diskFull) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
        searchPets();
        // A file size limit makes writes fail as on a full disk.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = diskFull ? 64 : saved.rlim_cur;
        setrlimit(RLIMIT_FSIZE, &small);
        const ExportFormat format = name.endsWith(u".xlsx"_s) ? ExportFormat::Xlsx : ExportFormat::Csv;
        const ExportOutcome outcome = sheet()->exportTo(path, format);
        setrlimit(RLIMIT_FSIZE, &saved);

        QCOMPARE(outcome.status, ExportOutcome::Status::Failed);
        QVERIFY(!outcome.message.isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), diskFull ? QStringList{name} : QStringList());
        if (diskFull)
            QCOMPARE(fileBytes(path), QByteArray("old"));
    }

    void stoppedXlsxExportLeavesNoFile()
    {
        searchPets();
        QTemporaryDir folder;
        const ExportOutcome outcome = exportRows(sheet()->order(), ExportFormat::Xlsx, folder.filePath(u"pets.xlsx"_s),
                                                 [](int) { return false; });
        QCOMPARE(outcome.status, ExportOutcome::Status::Stopped);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void exportOntoAFifoOrDeviceIsRefused_data()
    {
        QTest::addColumn<test::SpecialFile>("kind");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("FIFO") << test::SpecialFile::Fifo << false;
        QTest::newRow("link to a FIFO") << test::SpecialFile::Fifo << true;
        QTest::newRow("link to a device") << test::SpecialFile::Device << true;
    }
    void exportOntoAFifoOrDeviceIsRefused()
    {
        QFETCH(test::SpecialFile, kind);
        QFETCH(bool, throughLink);
        QTemporaryDir folder;
        const QString node = folder.filePath(u"node"_s);
        if (!test::makeSpecialFile(kind, node))
            QSKIP("only root makes device nodes");
        const QString path = throughLink ? folder.filePath(u"pets.csv"_s) : node;
        if (throughLink)
            QVERIFY(QFile::link(node, path));
        searchPets();
        const ExportOutcome outcome = sheet()->exportTo(path, ExportFormat::Csv);
        QCOMPARE(outcome.status, ExportOutcome::Status::Failed);
        QVERIFY2(outcome.message.contains(path) && outcome.message.contains(u"不是普通文件"_s), qPrintable(outcome.message));
        QVERIFY(test::isSpecialFile(kind, node));
    }

    void contextMenuAndDoubleClickOpenLookups()
    {
        searchEquipment();
        clickHeader(1);
        chooseFromMenu(7, u"查询物品ID"_s);
        Form2 *items = FormSlot<Form2>::instance().form();
        QVERIFY(items);
        QCOMPARE(test::control<QLineEdit>(items, u"Text1_0"_s)->text(), u"999"_s);
        QTRY_COMPARE(test::control<QLabel>(items, u"Label4"_s)->text(), u"0"_s);
        chooseFromMenu(1, u"查询物品ID"_s);
        QTRY_COMPARE(items->grid().rowCount(), 1);
        QCOMPARE(items->grid().index(0, 1).data().toString(), u"狼宠召唤石"_s);
        FormSlot<Form2>::instance().unload();

        doubleClickRow(list(), 0);
        Form3 *account = FormSlot<Form3>::instance().form();
        QVERIFY(account);
        QCOMPARE(test::control<QLineEdit>(account, u"Text1"_s)->text(), u"阿明"_s);
        QTRY_COMPARE(column(account->characterList(), 0), (QStringList{u"张三"_s, u"阿明"_s}));

        test::typeInto(m_form, u"Text2"_s, u"57"_s);
        auto *characters = test::control<QTableView>(account, u"ListView1"_s);
        doubleClickRow(characters, 0);
        QCOMPARE(test::control<QLineEdit>(m_form, u"Text1"_s)->text(), u"张三"_s);
        // The jump searches that character's equipment alone, and says so.
        QCOMPARE(test::control<QLineEdit>(m_form, u"Text2"_s)->text(), QString());
        QTRY_VERIFY(status().contains(u"其他条件已清除"_s));
        QCOMPARE(column(m_form->resultList(), 1).size(), 2);
        test::typeInto(m_form, u"Text1"_s, {});
        FormSlot<Form3>::instance().unload();
    }
};

QTEST_MAIN(TestWorksheet)
#include "test_worksheet.moc"
