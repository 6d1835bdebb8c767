#include "Fixtures.h"
#include "FormDriving.h"
#include "data/Module1.h"
#include "ui/GridModel.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

#include <functional>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

namespace {

QList<Form *> visibleForms(const QString &name)
{
    QList<Form *> forms;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form *>(widget); form && form->isVisible() && form->objectName() == name)
            forms << form;
    }
    return forms;
}

// Runs `steps` inside the program's event loop, the only place where closing
// the last window ends the program; returns how often the last window closed.
int lastWindowClosings(const std::function<void()> &steps)
{
    QSignalSpy closings(qApp, &QGuiApplication::lastWindowClosed);
    QTimer end;
    end.setSingleShot(true);
    // exit, not quit: quit asks every window to close.
    QObject::connect(&end, &QTimer::timeout, qApp, [] { QCoreApplication::exit(); });
    QTimer::singleShot(0, qApp, [&] {
        steps();
        end.start(100);
    });
    QApplication::exec();
    return int(closings.size());
}

template <class FormType>
void waitUntilUnloaded()
{
    QTRY_VERIFY(!FormSlot<FormType>::instance().isLoaded());
}

} // namespace

class TestLifecycle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void secondPressOnlyBringsWindowForward_data();
    void secondPressOnlyBringsWindowForward();
    void closedItemLookupLoadsAnew();
    void closedAccountLookupLoadsAnew();
    void backShowsOpenMainWindowWithoutLoading();
    void closingMainWindowEndsTheProgram();

private:
    Form1 *mainWindow() const { return FormSlot<Form1>::instance().form(); }
    void press(const QString &button) const { test::click(mainWindow(), button); }

    test::FixtureFolder m_folder;
};

void TestLifecycle::initTestCase()
{
    m_folder.writeStandard();
    test::startProgram(m_folder.path());
}

void TestLifecycle::init()
{
    test::showForm<Form1>();
}

void TestLifecycle::cleanup()
{
    FormSlot<Form2>::instance().unload();
    FormSlot<Form3>::instance().unload();
    waitUntilUnloaded<Form2>();
    waitUntilUnloaded<Form3>();
}

void TestLifecycle::secondPressOnlyBringsWindowForward_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("box");

    QTest::newRow("item lookup") << u"Command3"_s << u"Form2"_s << u"Text1_1"_s;
    QTest::newRow("account lookup") << u"Command4"_s << u"Form3"_s << u"Text1"_s;
}

void TestLifecycle::secondPressOnlyBringsWindowForward()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QString, box);

    press(button);
    QCOMPARE(visibleForms(window).size(), 1);
    Form *form = visibleForms(window).first();
    QSignalSpy loads(form, &Form::loaded);
    test::typeInto(form, box, u"赵灵儿"_s);

    press(button);

    QCOMPARE(loads.size(), 0);
    QCOMPARE(visibleForms(window), QList<Form *>{form});
    QCOMPARE(test::control<QLineEdit>(form, box)->text(), u"赵灵儿"_s);
}

void TestLifecycle::closedItemLookupLoadsAnew()
{
    press(u"Command3"_s);
    Form2 *first = FormSlot<Form2>::instance().form();
    test::typeInto(first, u"Text1_0"_s, u"57"_s);
    test::click(first, u"Command1"_s);
    const std::shared_ptr<Recordset> searched = test::sharedModule().rsLookup;
    QVERIFY(first->close());
    waitUntilUnloaded<Form2>();

    press(u"Command3"_s);

    const Form2 *form = FormSlot<Form2>::instance().form();
    QVERIFY(form);
    QCOMPARE(test::control<QLineEdit>(form, u"Text1_0"_s)->text(), QString());
    QCOMPARE(test::control<QLineEdit>(form, u"Text1_1"_s)->text(), QString());
    QCOMPARE(test::control<QLabel>(form, u"Label4"_s)->text(), QString());
    QVERIFY(!form->grid().isBound());
    QCOMPARE(test::control<QTableView>(form, u"DataGrid1"_s)->model()->rowCount(), 0);
    const Recordset &lookup = *test::sharedModule().rsLookup;
    QVERIFY(&lookup != searched.get());
    QCOMPARE(lookup.recordCount(), 1);
    QCOMPARE(lookup.field(u"id").toInt(), 1);
}

void TestLifecycle::closedAccountLookupLoadsAnew()
{
    press(u"Command4"_s);
    Form3 *first = FormSlot<Form3>::instance().form();
    test::typeInto(first, u"Text1"_s, u"赵灵儿"_s);
    test::click(first, u"Command1"_s);
    QCOMPARE(test::control<QTableView>(first, u"ListView1"_s)->model()->rowCount(), 3);
    QVERIFY(first->close());
    waitUntilUnloaded<Form3>();

    press(u"Command4"_s);

    const Form3 *form = FormSlot<Form3>::instance().form();
    QVERIFY(form);
    QCOMPARE(test::control<QLineEdit>(form, u"Text1"_s)->text(), QString());
    QCOMPARE(test::control<QTableView>(form, u"ListView1"_s)->model()->rowCount(), 0);
}

void TestLifecycle::backShowsOpenMainWindowWithoutLoading()
{
    Form1 *main = mainWindow();
    QSignalSpy loads(main, &Form::loaded);
    press(u"Command3"_s);

    test::click(FormSlot<Form2>::instance().form(), u"Command2"_s);

    waitUntilUnloaded<Form2>();
    QCOMPARE(mainWindow(), main);
    QVERIFY(main->isVisible());
    QCOMPARE(loads.size(), 0);
}

void TestLifecycle::closingMainWindowEndsTheProgram()
{
    press(u"Command3"_s);
    press(u"Command4"_s);

    QCOMPARE(lastWindowClosings([this] { mainWindow()->close(); }), 1);
    QTRY_VERIFY(!FormSlot<Form2>::instance().isLoaded() && !FormSlot<Form3>::instance().isLoaded());
    QVERIFY(!FormSlot<Form1>::instance().isLoaded());
}

QTEST_MAIN(TestLifecycle)
#include "test_lifecycle.moc"
