#include "cli/StopSignals.h"

#include <QMetaObject>

#include <csignal>
#include <mutex>

#include <windows.h>

// Ctrl+C, Ctrl+Break and a closed console reach the program through the
// console's control handler, which the system calls on a thread of its own:
// the handler only hands the event on to the main thread's event loop.
namespace realm::cli {

namespace {

std::mutex instanceMutex;
StopSignals *instance = nullptr;
int pendingSignal = 0;

int signalFor(DWORD event)
{
    return event == CTRL_C_EVENT ? SIGINT : SIGTERM;
}

BOOL WINAPI handleConsoleEvent(DWORD event)
{
    const std::lock_guard lock(instanceMutex);
    if (!instance)
        return FALSE;
    if (pendingSignal == 0)
        pendingSignal = signalFor(event);
    QMetaObject::invokeMethod(
        instance, [target = instance] { emit target->stopRequested(); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

StopSignals::StopSignals()
{
    {
        const std::lock_guard lock(instanceMutex);
        instance = this;
        pendingSignal = 0;
    }
    // Connected before anyone else, so the signal's number is known to
    // whoever the request reaches.
    connect(this, &StopSignals::stopRequested, this, &StopSignals::readSignal);
    SetConsoleCtrlHandler(handleConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(handleConsoleEvent, FALSE);
    const std::lock_guard lock(instanceMutex);
    instance = nullptr;
}

void StopSignals::readSignal()
{
    const std::lock_guard lock(instanceMutex);
    if (m_received == 0)
        m_received = pendingSignal;
}

} // namespace realm::cli
