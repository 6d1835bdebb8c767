#include "Responsiveness.h"

#include "Measure.h"

#include "data/Module1.h"
#include "startup/ProgramFolder.h"
#include "startup/Startup.h"
#include "ui/RowListModel.h"
#include "ui/main/Form1.h"
#include "ui/main/ServerChooser.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QProcess>
#include <QTimer>

#include <stdexcept>

namespace bench {

namespace {

// The longest time between two ticks of a 10 ms timer while it runs.
class TickWatch {
public:
    TickWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_sinceTick.nsecsElapsed());
            m_sinceTick.restart();
        });
        m_sinceTick.start();
        m_timer.start();
    }
    double longestSeconds() const { return double(m_longest) / 1e9; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

void waitForEnd(realm::ui::Form1 &form)
{
    QEventLoop loop;
    QObject::connect(&form, &realm::ui::Form::searchEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

// Clicks the equipment search; returns the seconds until the first rows
// are in the list, leaving the search running.
double clickAndWaitForRows(realm::ui::Form1 &form, const QElapsedTimer &clock)
{
    QEventLoop loop;
    double firstRows = 0;
    const auto connection = QObject::connect(&form.resultList(), &QAbstractItemModel::rowsInserted, &loop, [&] {
        firstRows = double(clock.nsecsElapsed()) / 1e9;
        loop.quit();
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
    loop.exec();
    QObject::disconnect(connection);
    return firstRows;
}

// With several servers configured, ticks each in the window's server
// menu, whatever an earlier run left chosen.
void chooseAllServers(realm::ui::Form1 &form)
{
    const auto *chooser = form.findChild<realm::ui::ServerChooser *>();
    if (!chooser)
        return;
    for (QAction *server : chooser->menu()->actions()) {
        if (server->isCheckable())
            server->setChecked(true);
    }
}

} // namespace

WindowFigures measureMainWindow(const QString &folder)
{
    realm::Module1 module;
    realm::setProgramFolder(folder);
    realm::openProgramData(module, realm::ItemNameLanguage::Chinese);
    WindowFigures figures;
    {
        realm::ui::Form1 form({module});
        realm::ui::runLoad(form);
        form.show();
        chooseAllServers(form);
        const long long before = residentBytes();
        QElapsedTimer clock;
        clock.start();
        TickWatch ticks;
        figures.firstRowsSeconds = clickAndWaitForRows(form, clock);
        waitForEnd(form);
        figures.fillSeconds = double(clock.nsecsElapsed()) / 1e9;
        figures.longestGapSeconds = ticks.longestSeconds();
        figures.rows = form.resultList().rowCount();
        figures.addedMegabytes = double(residentBytes() - before) / (1024.0 * 1024.0);

        clickAndWaitForRows(form, clock);
        QElapsedTimer stopClock;
        stopClock.start();
        form.findChild<QAbstractButton *>(QStringLiteral("StopButton"))->click();
        waitForEnd(form);
        figures.stopSeconds = double(stopClock.nsecsElapsed()) / 1e9;
    }
    return figures;
}

double cliFirstRowSeconds(const QString &cli, const QString &folder)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(cli, {QStringLiteral("--dir"), folder, QStringLiteral("equip")});
    QByteArray seen;
    // The header line, then the first row.
    while (seen.count('\n') < 2 && process.waitForReadyRead(10000))
        seen += process.readAllStandardOutput();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    process.kill();
    process.waitForFinished();
    if (seen.count('\n') < 2)
        throw std::runtime_error("the command line wrote no row");
    return seconds;
}

} // namespace bench
