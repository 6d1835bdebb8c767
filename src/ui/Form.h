#pragma once

#include "query/SearchChannel.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace realm {
struct Module1;
}

namespace realm::ui {

class RowListModel;

// What every window is given: the shared objects its searches run on.
struct WindowContext {
    Module1 &module;
};

// A window that is created on first use, runs `load` each time it is
// loaded, and is destroyed when it closes (unloaded), so the next `show`
// loads it anew. Its searches run in the background: while one runs, the
// status line counts the rows that came and a stop button shows beside it;
// Esc stops it too, and closing the window stops the search and waits for it.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const WindowContext &context, QWidget *parent = nullptr);

    // What the window opens before it shows; nothing unless it says so.
    // Throws DataError; a failing load ends the program.
    virtual void load() { }

    const WindowContext &context() const { return m_context; }
    Module1 &module() const { return m_context.module; }
    bool isSearching() const { return m_searches.isRunning(); }

signals:
    void loaded();
    void searchEnded();

protected:
    // The status line and where the stop button goes beside it.
    void setUpSearching(QLabel *statusLine, QRect stopButtonTwips);
    // Esc closes the window when no search of it is running.
    void closeOnEscape() { m_closesOnEscape = true; }
    // Starts a search in place of the running one, on the game servers at
    // `servers` of Module1::servers (none: the base one).
    void startSearch(Search search, std::vector<std::size_t> servers = {});
    // The same into `list`, which shows a server column while its search
    // reads several servers.
    void startSearch(Search search, std::vector<std::size_t> servers, RowListModel &list);
    SearchChannel &searches() { return m_searches; }
    QLabel *statusLine() const { return m_statusLine; }
    // The rows the window holds of the running (or last) search.
    virtual int rowsShown() const = 0;
    // Shows how a search ended; a stopped one is told here already.
    virtual void showEnd(const SearchOutcome &outcome) = 0;

    void closeEvent(QCloseEvent *event) override;

private:
    void fitStopButton();
    void showProgress();
    void endSearch(const SearchOutcome &outcome);
    void escapePressed();
    // A finished search's note begins with how long it took.
    SearchOutcome withTimeTaken(SearchOutcome outcome) const;

    WindowContext m_context;
    SearchChannel m_searches;
    QLabel *m_statusLine = nullptr;
    QPushButton *m_stopButton = nullptr;
    QTimer m_progress;
    QElapsedTimer m_searchTime;
    QString m_statusBefore;
    bool m_closesOnEscape = false;
};

// The one instance of a form class.
template <class FormType>
class FormSlot {
public:
    static FormSlot &instance()
    {
        static FormSlot slot;
        return slot;
    }

    FormType *form() const { return m_form.data(); }
    bool isLoaded() const { return !m_form.isNull(); }

    // Loads the form if it is not loaded, then shows it modeless and brings
    // it forward. A failing load is fatal.
    FormType &show(const WindowContext &context);
    void unload()
    {
        if (m_form)
            m_form->close();
    }

private:
    QPointer<FormType> m_form;
};

// Shows the error's number and text on standard error and in a box where a
// user can see it.
void showFatal(long number, const QString &text);
// Shows it, then ends the process with a non-zero status: for a window
// that cannot load while others are open.
[[noreturn]] void reportFatal(long number, const QString &text);
void runLoad(Form &form);

template <class FormType>
FormType &FormSlot<FormType>::show(const WindowContext &context)
{
    if (!m_form) {
        m_form = new FormType(context);
        m_form->setAttribute(Qt::WA_DeleteOnClose);
        runLoad(*m_form);
    }
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
    return *m_form;
}

} // namespace realm::ui
