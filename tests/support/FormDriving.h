#pragma once

#include "data/ProgramFolder.h"
#include "ui/Fonts.h"
#include "ui/main/Form1.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

namespace realm::test {

// Starts the program on `folder` the way its main function does: the main
// window loaded and shown.
inline ui::Form1 &startProgram(const QString &folder)
{
    setProgramFolder(folder);
    ui::installFontSubstitutes();
    return ui::FormSlot<ui::Form1>::instance().show();
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

inline void click(const QWidget *form, const QString &buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(form, buttonName), Qt::LeftButton);
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

// The pixel rectangle a rectangle drawn in twips becomes at 96 dpi.
inline QRect pixelsOfTwips(QRect twips)
{
    auto pixels = [](int value) { return qRound(value / 15.0); };
    return {pixels(twips.x()), pixels(twips.y()), pixels(twips.width()), pixels(twips.height())};
}

} // namespace realm::test
