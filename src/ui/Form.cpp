#include "ui/Form.h"

#include "data/DataError.h"
#include "data/Module1.h"
#include "ui/Controls.h"
#include "ui/RowListModel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <cstdio>

namespace realm::ui {

namespace {

// Often enough that the count visibly runs, seldom enough to cost nothing.
constexpr int ProgressMilliseconds = 150;

} // namespace

Form::Form(const WindowContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_searches(context.module)
{
    m_progress.setInterval(ProgressMilliseconds);
    connect(&m_progress, &QTimer::timeout, this, &Form::showProgress);
    connect(&m_searches, &SearchChannel::finished, this, &Form::endSearch);
}

void Form::setUpSearching(QLabel *statusLine, QRect stopButtonTwips)
{
    m_statusLine = statusLine;
    m_stopButton = addButton(this, QStringLiteral("StopButton"), QCoreApplication::translate("realm::ui::Form", "停止"), stopButtonTwips);
    fitStopButton();
    m_stopButton->hide();
    // Esc does what it does from the keyboard; Tab keeps the window's order.
    m_stopButton->setFocusPolicy(Qt::NoFocus);
    connect(m_stopButton, &QPushButton::clicked, &m_searches, &SearchChannel::stop);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &Form::escapePressed);
}

// The designed place is lower than a button's text at most scales and
// fonts: the button grows to show its caption whole, about the same centre,
// left from its right edge and kept inside the window.
void Form::fitStopButton()
{
    QRect place = m_stopButton->geometry();
    const QSize needed = m_stopButton->sizeHint().expandedTo(place.size());
    const QPoint centre = place.center();
    place.setSize(needed);
    place.moveCenter(centre);
    place.moveRight(m_stopButton->geometry().right());
    place.moveBottom(std::min(place.bottom(), height() - 1));
    place.moveTop(std::max(place.top(), 0));
    m_stopButton->setGeometry(place);
}

void Form::escapePressed()
{
    if (m_searches.isRunning())
        m_searches.stop();
    else if (m_closesOnEscape)
        close();
}

void Form::startSearch(Search search, std::vector<std::size_t> servers)
{
    if (!m_searches.isRunning())
        m_statusBefore = m_statusLine->toolTip();
    m_searches.start(std::move(search), std::move(servers));
    m_searchTime.start();
    m_stopButton->show();
    m_stopButton->raise();
    showProgress();
    m_progress.start();
}

void Form::startSearch(Search search, std::vector<std::size_t> servers, RowListModel &list)
{
    const bool several = servers.size() > 1;
    if (several != list.hasServerColumn()) {
        QStringList names;
        for (const GameServer &server : module().servers)
            names << server.settings.displayName;
        list.setServerColumn(several ? names : QStringList());
    }
    startSearch(std::move(search), std::move(servers));
}

void Form::showProgress()
{
    showStatus(m_statusLine, QCoreApplication::translate("realm::ui::Form", "正在查询… 已有 %1 行").arg(rowsShown()));
}

void Form::endSearch(const SearchOutcome &outcome)
{
    m_progress.stop();
    m_stopButton->hide();
    if (outcome.status == SearchOutcome::Status::Stopped)
        showStatus(m_statusLine, QCoreApplication::translate("realm::ui::Form", "已停止，共 %1 行").arg(rowsShown()));
    // A search with nothing to search for leaves the window as it was.
    if (outcome.status == SearchOutcome::Status::NotRun)
        showStatus(m_statusLine, m_statusBefore);
    showEnd(withTimeTaken(outcome));
    emit searchEnded();
}

SearchOutcome Form::withTimeTaken(SearchOutcome outcome) const
{
    if (outcome.status != SearchOutcome::Status::Done)
        return outcome;
    const double seconds = double(m_searchTime.elapsed()) / 1000.0;
    const QString taken = QCoreApplication::translate("realm::ui::Form", "用时 %1 秒").arg(seconds, 0, 'f', 2);
    outcome.note = withNote(taken, outcome.note);
    return outcome;
}

void Form::closeEvent(QCloseEvent *event)
{
    m_searches.stopAndWait();
    m_progress.stop();
    QWidget::closeEvent(event);
}

void showFatal(long number, const QString &text)
{
    const QString report = QCoreApplication::translate("realm::ui::Form", "运行时错误 %1：\n\n%2").arg(number).arg(text);
    std::fprintf(stderr, "%s\n", report.toUtf8().constData());
    // Nobody could answer a box on the offscreen platform.
    if (QGuiApplication::platformName() != u"offscreen")
        QMessageBox::critical(nullptr, QApplication::applicationName(), report);
}

void reportFatal(long number, const QString &text)
{
    showFatal(number, text);
    std::exit(1);
}

void runLoad(Form &form)
{
    try {
        form.load();
    } catch (const DataError &error) {
        reportFatal(error.number(), error.text());
    }
    emit form.loaded();
}

} // namespace realm::ui
