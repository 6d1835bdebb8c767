#include "CliRun.h"
#include "Fixtures.h"
#include "FormDriving.h"
#include "ui/GridModel.h"
#include "ui/RowListModel.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"
#include "ui/main/Form1.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

using Rows = QList<QStringList>;

// The windows while their searches run in the background, on a game
// database large enough that a search is still running when the test acts.
class TestBackground : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;
    Form1 *m_form = nullptr;

    RowListModel &list() const { return m_form->resultList(); }
    QString status() const { return test::control<QLabel>(m_form, u"StatusLine"_s)->toolTip(); }

    // Starts the unfiltered equipment search and waits for its first rows.
    void startLongSearch()
    {
        test::typeInto(m_form, u"Text1"_s, {});
        test::press(m_form, u"Command1"_s);
        QTRY_VERIFY(list().rowCount() > 0);
        QVERIFY(m_form->isSearching());
        QVERIFY(test::control<QPushButton>(m_form, u"StopButton"_s)->isVisible());
    }

    void expectStoppedWithRowsShown()
    {
        QVERIFY(test::waitForSearch(m_form));
        QVERIFY2(status().contains(u"停止"_s) && status().contains(QString::number(list().rowCount())),
                 qPrintable(status()));
        QVERIFY(!test::control<QPushButton>(m_form, u"StopButton"_s)->isVisible());
    }

    static Rows listRows(const RowListModel &model)
    {
        Rows rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column)
                cells << model.text(row, column);
            rows << cells;
        }
        return rows;
    }

    Rows cliRows(const QStringList &search) const
    {
        const test::CliRun run = test::runCli(QStringList{u"--dir"_s, m_folder.path()} + search);
        Rows rows;
        const QList<QByteArray> lines = run.out.split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (!lines[i].isEmpty())
                rows << QString::fromUtf8(lines[i]).split(u'\t');
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        m_folder.writeGenerated(300'000);
        m_form = &test::startProgram(m_folder.path());
    }

    void stopButtonStopsAndKeepsTheRows()
    {
        startLongSearch();
        test::press(m_form, u"StopButton"_s);
        expectStoppedWithRowsShown();
        QVERIFY(list().rowCount() < 300'000);
    }

    void escapeStops()
    {
        startLongSearch();
        QTest::keyClick(test::control<QWidget>(m_form, u"Text2"_s), Qt::Key_Escape);
        expectStoppedWithRowsShown();
    }

    // The first search is still sending rows when the second starts; none
    // of them may end up in the list.
    void secondClickReplacesTheRunningSearch()
    {
        startLongSearch();
        test::typeInto(m_form, u"Text2"_s, u"7"_s);
        test::click(m_form, u"Command1"_s);
        test::typeInto(m_form, u"Text2"_s, {});
        const Rows expected = cliRows({u"equip"_s, u"--item-id"_s, u"7"_s});
        QVERIFY(!expected.isEmpty());
        QCOMPARE(listRows(list()), expected);
        QVERIFY2(status().contains(QString::number(expected.size())), qPrintable(status()));
    }

    void fullSearchEqualsTheCommandLine()
    {
        test::typeInto(m_form, u"Text1"_s, {});
        test::click(m_form, u"Command1"_s);
        const Rows expected = cliRows({u"equip"_s});
        QCOMPARE(expected.size(), 300'000);
        QCOMPARE(listRows(list()), expected);
        test::typeInto(m_form, u"Text5"_s, u" "_s);
        test::click(m_form, u"Command2"_s);
        QCOMPARE(listRows(list()), cliRows({u"pet"_s, u" "_s}));
    }

    // Closing waits for the search; no late row may reach the deleted list
    // (the sanitizers would see it), and the window opens and searches again.
    void closingSecondaryWindowsMidSearch()
    {
        for (int round = 0; round < 5; ++round) {
            Form2 &lookup = test::showForm<Form2>();
            test::typeInto(&lookup, u"Text1_1"_s, u"剑"_s);
            test::press(&lookup, u"Command1"_s);
            lookup.close();
            Form3 &account = test::showForm<Form3>();
            test::typeInto(&account, u"Text1"_s, cliRows({u"equip"_s, u"--item-id"_s, u"7"_s}).first().first());
            test::press(&account, u"Command1"_s);
            account.close();
        }
        Form3 &account = test::showForm<Form3>();
        const QString name = cliRows({u"equip"_s, u"--item-id"_s, u"7"_s}).first().first();
        test::typeInto(&account, u"Text1"_s, name);
        test::click(&account, u"Command1"_s);
        QCOMPARE(listRows(account.characterList()), cliRows({u"account"_s, name}));
        account.close();
    }

    void closingTheMainWindowMidSearch()
    {
        startLongSearch();
        QPointer<Form1> form(m_form);
        m_form->close();
        QTRY_VERIFY(form.isNull());
        m_form = &test::startProgram(m_folder.path());
        test::typeInto(m_form, u"Text2"_s, u"7"_s);
        test::click(m_form, u"Command1"_s);
        QCOMPARE(listRows(list()), cliRows({u"equip"_s, u"--item-id"_s, u"7"_s}));
    }
};

QTEST_MAIN(TestBackground)
#include "test_background.moc"
