#pragma once

#include "data/Module1.h"
#include "startup/ProgramFolder.h"
#include "startup/Startup.h"
#include "ui/Fonts.h"
#include "ui/main/Form1.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

namespace realm::test {

// The shared objects the windows of a test program use.
inline ui::WindowContext windowContext()
{
    static Module1 module;
    return {module};
}

inline Module1 &sharedModule()
{
    return windowContext().module;
}

// Starts the program on `folder` the way its main function does: the
// shared data opened, the main window loaded and shown.
inline ui::Form1 &startProgram(const QString &folder)
{
    setProgramFolder(folder);
    ui::installFontSubstitutes();
    openProgramData(windowContext().module, itemNamesOfInterface());
    return ui::FormSlot<ui::Form1>::instance().show(windowContext());
}

template <class FormType>
FormType &showForm()
{
    return ui::FormSlot<FormType>::instance().show(windowContext());
}

// Waits until the window's search (if any) has ended.
inline bool waitForSearch(const QWidget *form)
{
    const auto *searching = qobject_cast<const ui::Form *>(form);
    return !searching || QTest::qWaitFor([searching] { return !searching->isSearching(); }, 60000);
}

// A control of a window by its name; a missing one ends the test run with
// that name rather than a null dereference.
template <class Widget>
Widget *control(const QWidget *form, const QString &name)
{
    auto *widget = form->findChild<Widget *>(name);
    if (!widget)
        qFatal("%s has no control %s", qPrintable(form->objectName()), qPrintable(name));
    return widget;
}

// Clicks the button as a user does, without waiting for what it starts.
inline void press(const QWidget *form, const QString &buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(form, buttonName), Qt::LeftButton);
}

// Clicks the button and waits for the search it starts to end.
inline void click(const QWidget *form, const QString &buttonName)
{
    const QPointer<const QWidget> guarded(form);
    press(form, buttonName);
    if (guarded && !waitForSearch(guarded))
        qWarning("%s: the search did not end", qPrintable(buttonName));
}

inline void clearBox(QLineEdit *box)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
}

// Types `text` over the box's contents: ASCII as key presses, Chinese
// committed the way an input method hands it over, and a tab (which the Tab
// key would take away to the next control) pasted.
inline void typeInto(QLineEdit *box, const QString &text)
{
    clearBox(box);
    for (const QChar c : text) {
        if (c == u'\t') {
            QGuiApplication::clipboard()->setText(c);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else if (c.unicode() < 0x80) {
            QTest::keyClick(box, char(c.unicode()));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(c);
            QCoreApplication::sendEvent(box, &commit);
        }
    }
}

inline void typeInto(const QWidget *form, const QString &boxName, const QString &text)
{
    typeInto(control<QLineEdit>(form, boxName), text);
}

// The controls Tab visits from `first` on, `first` included, in order.
inline QStringList tabOrder(QWidget *first)
{
    QStringList names;
    QWidget *widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisibleTo(first->window()))
            names << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first);
    return names;
}

// A status line without the time its search took, which differs run by run.
inline QString withoutTimeTaken(const QString &status)
{
    return QString(status).remove(QRegularExpression(QStringLiteral("；用时 \\d+\\.\\d+ 秒|用时 \\d+\\.\\d+ 秒；?")));
}

// The pixel rectangle a rectangle drawn in twips becomes at 96 dpi.
inline QRect pixelsOfTwips(QRect twips)
{
    auto pixels = [](int value) { return qRound(value / 15.0); };
    return {pixels(twips.x()), pixels(twips.y()), pixels(twips.width()), pixels(twips.height())};
}

} // namespace realm::test
