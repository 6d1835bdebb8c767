#pragma once

#include <QPointer>
#include <QWidget>

namespace realm::ui {

// A window that is created on first use, runs `load` each time it is
// loaded, and is destroyed when it closes (unloaded), so the next `show`
// loads it anew.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);

    // Throws DataError; a failing load ends the program.
    virtual void load() = 0;

signals:
    void loaded();
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
    FormType &show();
    void unload()
    {
        if (m_form)
            m_form->close();
    }

private:
    QPointer<FormType> m_form;
};

// Shows the error's number and text (in a box where a user can see it) and
// ends the process with a non-zero status.
[[noreturn]] void reportFatal(long number, const QString &text);
void runLoad(Form &form);

template <class FormType>
FormType &FormSlot<FormType>::show()
{
    if (!m_form) {
        m_form = new FormType;
        m_form->setAttribute(Qt::WA_DeleteOnClose);
        runLoad(*m_form);
    }
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
    return *m_form;
}

} // namespace realm::ui
