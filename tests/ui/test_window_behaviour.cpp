#include "Fixtures.h"
#include "FormDriving.h"
#include "ui/UserSettings.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"
#include "ui/main/Form1.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

namespace {

// Counts the times someone opens the FIFO to read it, and lets each reader
// go on at once with an empty read, so that a reader never hangs the test.
class FifoReaderWatch {
public:
    explicit FifoReaderWatch(const QString &path)
        : m_path(QFile::encodeName(path)), m_thread([this] { watch(); })
    {
    }
    ~FifoReaderWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    FifoReaderWatch(const FifoReaderWatch &) = delete;
    FifoReaderWatch &operator=(const FifoReaderWatch &) = delete;

    int readers() const { return m_readers; }

private:
    void watch()
    {
        while (!m_stop) {
            // Opening the writing end without waiting succeeds only while a
            // reader holds the other end.
            const int writer = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                ++m_readers;
                ::close(writer);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    QByteArray m_path;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_readers = 0;
    std::thread m_thread;
};

// What the program writes to standard error meanwhile.
class StandardErrorCapture {
public:
    StandardErrorCapture()
        : m_saved(::dup(STDERR_FILENO))
    {
        m_file.open();
        std::fflush(stderr);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    StandardErrorCapture(const StandardErrorCapture &) = delete;
    StandardErrorCapture &operator=(const StandardErrorCapture &) = delete;

    QString text()
    {
        std::fflush(stderr);
        QFile written(m_file.fileName());
        return written.open(QIODevice::ReadOnly) ? QString::fromUtf8(written.readAll()) : QString();
    }

private:
    QTemporaryFile m_file;
    int m_saved;
};

} // namespace

// Enter and Esc in the boxes, growing windows, the geometry they remember,
// and rows tall enough for every face of their font.
class TestWindowBehaviour : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;
    Form1 *m_main = nullptr;

    static QLineEdit *box(QWidget *form, const QString &name)
    {
        if (auto *combo = form->findChild<QComboBox *>(name))
            return combo->lineEdit();
        return test::control<QLineEdit>(form, name);
    }

    static QWidget *open(const QString &formName)
    {
        QWidget *form = formName == u"Form2" ? static_cast<QWidget *>(&test::showForm<Form2>())
            : formName == u"Form3"           ? static_cast<QWidget *>(&test::showForm<Form3>())
                                             : &test::showForm<Form1>();
        if (!QTest::qWaitForWindowActive(form))
            qWarning("%s is not active", qPrintable(formName));
        return form;
    }

private slots:
    void initTestCase()
    {
        m_folder.writeStandard();
        m_main = &test::startProgram(m_folder.path());
    }

    void cleanup()
    {
        FormSlot<Form2>::instance().unload();
        FormSlot<Form3>::instance().unload();
    }

    void enterRunsTheBoxsSearch_data()
    {
        QTest::addColumn<QString>("formName");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("resultLabel");
        QTest::addColumn<QString>("result");
        for (const char *name : {"Text1", "Text2", "Text3", "Text4", "Combo1", "Combo2"})
            QTest::newRow(name) << u"Form1"_s << QString::fromLatin1(name) << QString() << u"StatusLine"_s << u"共 11 行"_s;
        QTest::newRow("Text5") << u"Form1"_s << u"Text5"_s << u" "_s << u"StatusLine"_s << u"共 2 行"_s;
        QTest::newRow("item id") << u"Form2"_s << u"Text1_0"_s << u"57"_s << u"Label4"_s << u"2"_s;
        QTest::newRow("item name") << u"Form2"_s << u"Text1_1"_s << u"剑"_s << u"Label4"_s << u"3"_s;
        QTest::newRow("account") << u"Form3"_s << u"Text1"_s << u"赵灵儿"_s << u"StatusLine"_s << u"共 3 个角色"_s;
    }
    void enterRunsTheBoxsSearch()
    {
        QFETCH(QString, formName);
        QFETCH(QString, boxName);
        QFETCH(QString, text);
        QFETCH(QString, resultLabel);
        QFETCH(QString, result);
        test::typeInto(m_main, u"Text5"_s, u"no such pet"_s);
        test::click(m_main, u"Command2"_s);
        QWidget *form = open(formName);
        auto *label = test::control<QLabel>(form, resultLabel);
        QTRY_VERIFY(label->toolTip() != result && label->text() != result);
        if (formName == u"Form1")
            test::typeInto(m_main, u"Text5"_s, {});
        QLineEdit *target = box(form, boxName);
        if (!text.isEmpty())
            test::typeInto(target, text);
        QTest::keyClick(target, Qt::Key_Return);
        QTRY_VERIFY(test::withoutTimeTaken(label->toolTip()) == result || label->text() == result);
        if (!text.isEmpty())
            test::typeInto(target, {});
    }

    void escClosesSecondaryWindowsOnly()
    {
        for (const QString &name : {u"Form2"_s, u"Form3"_s}) {
            const QPointer<QWidget> form = open(name);
            QTest::keyClick(form->focusWidget() ? form->focusWidget() : form.data(), Qt::Key_Escape);
            QTRY_VERIFY(form.isNull());
        }
        QTest::keyClick(m_main, Qt::Key_Escape);
        QVERIFY(m_main->isVisible());
    }

    void listGrowsAndStatusLineStaysAtTheBottom()
    {
        auto *list = test::control<QTableView>(m_main, u"ListView1"_s);
        auto *status = test::control<QLabel>(m_main, u"StatusLine"_s);
        auto *button = test::control<QWidget>(m_main, u"Command1"_s);
        const QSize designed = m_main->size();
        const QRect listBefore = list->geometry();
        const QRect buttonBefore = button->geometry();
        m_main->resize(designed + QSize(200, 150));
        QCOMPARE(list->geometry(), listBefore.adjusted(0, 0, 200, 150));
        QCOMPARE(button->geometry(), buttonBefore);
        QCOMPARE(status->geometry().bottom(), m_main->height() - 1);
        QCOMPARE(status->width(), list->width());
        m_main->resize(100, 100);
        QCOMPARE(m_main->size(), designed);
        QCOMPARE(list->geometry(), listBefore);

        auto *items = &test::showForm<Form2>();
        auto *count = test::control<QLabel>(items, u"Label4"_s);
        const int countTop = count->y();
        items->resize(items->size() + QSize(0, 80));
        QCOMPARE(count->y(), countTop + 80);
    }

    void geometryComesBack()
    {
        QWidget *form = open(u"Form3"_s);
        const QRect chosen(QPoint(30, 40), form->size() + QSize(60, 50));
        form->setGeometry(chosen);
        test::control<QTableView>(form, u"ListView1"_s)->horizontalHeader()->resizeSection(0, 150);
        form->close();
        QTRY_VERIFY(!FormSlot<Form3>::instance().isLoaded());

        form = open(u"Form3"_s);
        QCOMPARE(form->geometry(), chosen);
        QCOMPARE(test::control<QTableView>(form, u"ListView1"_s)->horizontalHeader()->sectionSize(0), 150);
        form->close();
        QTRY_VERIFY(!FormSlot<Form3>::instance().isLoaded());

        openUserSettings()->setValue(u"Form3/geometry"_s, QRect(QPoint(-5000, 9000), chosen.size()));
        form = open(u"Form3"_s);
        QCOMPARE(form->size(), chosen.size());
        QVERIFY(form->screen()->availableGeometry().contains(form->geometry().center()));
    }

    // Saved at one scale, the window keeps its edges on the screen at another.
    void geometryFitsTheScreen()
    {
        const QRect screen = m_main->screen()->availableGeometry();
        openUserSettings()->setValue(u"Form3/geometry"_s, QRect(screen.center(), screen.size()));
        QWidget *form = open(u"Form3"_s);
        QVERIFY2(screen.contains(form->geometry()), qPrintable(u"%1 %2"_s.arg(screen.width()).arg(form->x())));
    }

    // The keyboard reaches what the mouse does in a list: Enter and the Menu
    // key on the focused row, whose frame shows where the focus is.
    void listRowsAnswerTheKeyboard()
    {
        test::click(m_main, u"Command1"_s);
        auto *list = test::control<QTableView>(m_main, u"ListView1"_s);
        m_main->activateWindow();
        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
        const QImage focused = list->grab().toImage();
        box(m_main, u"Text1"_s)->setFocus();
        QVERIFY(list->grab().toImage() != focused);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QCoreApplication::sendEvent(list, &menuKey);
        QMenu *menu = list->findChild<QMenu *>();
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->actions().value(1)->text(), u"查询该角色的帐号"_s);
        menu->close();
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(FormSlot<Form3>::instance().isLoaded());
        QCOMPARE(test::control<QLineEdit>(FormSlot<Form3>::instance().form(), u"Text1"_s)->text(),
                 list->model()->index(1, 0).data().toString());
    }

    // A FIFO would keep the window from appearing; a device would become a
    // file when it closes.
    void geometryFileThatIsNoFileIsLeftAlone()
    {
        const QString path = userSettingsFile();
        QTemporaryDir nodes;
        const QString device = nodes.filePath(u"null"_s);
        const bool deviceMade = test::makeSpecialFile(test::SpecialFile::Device, device);
        StandardErrorCapture errors;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(QFile::remove(path) || !QFileInfo::exists(path));
        QVERIFY(test::makeSpecialFile(test::SpecialFile::Fifo, path));
        {
            const FifoReaderWatch watch(path);
            open(u"Form3"_s)->close();
            QTRY_VERIFY(!FormSlot<Form3>::instance().isLoaded());
            QCOMPARE(watch.readers(), 0);
        }
        QVERIFY(test::isSpecialFile(test::SpecialFile::Fifo, path));
        if (deviceMade) {
            QVERIFY(QFile::remove(path) && QFile::link(device, path));
            open(u"Form3"_s)->close();
            QTRY_VERIFY(!FormSlot<Form3>::instance().isLoaded());
            QVERIFY(test::isSpecialFile(test::SpecialFile::Device, device));
        }
        QVERIFY(QFile::remove(path));
        QCOMPARE(errors.text().count(u"窗口位置文件 "_s + path), 1);
        if (!deviceMade)
            QSKIP("only root makes device nodes: the FIFO alone was tried");
    }

    void rowsHaveRoomForEveryFace()
    {
        test::click(m_main, u"Command1"_s);
        auto *list = test::control<QTableView>(m_main, u"ListView1"_s);
        QTRY_VERIFY(list->model()->rowCount() > 1);
        auto *grid = test::control<QTableView>(open(u"Form2"_s), u"DataGrid1"_s);
        const QList<std::pair<QWidget *, int>> views = {
            {list, list->visualRect(list->model()->index(1, 0)).height()},
            {grid, grid->verticalHeader()->defaultSectionSize()}};
        for (const auto &[view, rowHeight] : views) {
            const QFont font = view->font();
            QVERIFY2(QFontInfo(font).family().contains(u"Sans"_s), qPrintable(QFontInfo(font).family()));
            QVERIFY(font.families().size() >= 2);
            for (const QString &family : font.families()) {
                QFont face = font;
                face.setFamilies({family});
                QVERIFY2(rowHeight >= QFontMetrics(face).height() + 2, qPrintable(family));
            }
        }
    }
};

QTEST_MAIN(TestWindowBehaviour)
#include "test_window_behaviour.moc"
