#pragma once

#include <QTest>
#include <QWidget>

namespace realm::test {

// Types text into a widget key by key, as a user (or an input method, for
// Chinese) would: QTest::keyClicks only knows ASCII keys.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const bool ascii = c.unicode() > 32 && c.unicode() < 127;
        if (ascii)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, c == u' ' ? Qt::Key_Space : Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
}

} // namespace realm::test
