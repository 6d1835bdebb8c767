#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace realm::cli {

// SIGINT and SIGTERM (on Windows the console's Ctrl+C, Ctrl+Break and close
// events) as a signal on the main thread's event loop: the handler only
// writes the signal's number into a pipe, which the loop reads.
class StopSignals : public QObject {
    Q_OBJECT
public:
    StopSignals();
    ~StopSignals() override;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal that came, 0 while none did.
    int received() const { return m_received; }

signals:
    void stopRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
    int m_received = 0;
};

} // namespace realm::cli
