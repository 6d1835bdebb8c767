#include "FormDriver.h"

#include "FormDriving.h"

#include <QTest>

namespace realm::test {

namespace {

// The full text of the status line: the label itself may be elided.
QString statusText(const QWidget *form)
{
    const auto *status = form->findChild<QLabel *>(QStringLiteral("StatusLine"));
    return status ? status->toolTip() : QStringLiteral("<no status line>");
}

} // namespace

void searchWith(QWidget *form, const QString &boxName, const QString &text, const QString &buttonName)
{
    auto *box = form->findChild<QLineEdit *>(boxName);
    auto *button = form->findChild<QPushButton *>(buttonName);
    QVERIFY2(box && button, "the form lacks the box or the button");
    typeInto(box, text);
    QCOMPARE(box->text(), text);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY2(waitForSearch(form), "the search did not end");
}

void expectStatusCount(const QWidget *form, int count)
{
    const QString text = statusText(form);
    QVERIFY2(text.contains(QString::number(count)) && !text.contains(QStringLiteral("FreeTDS")), qPrintable(text));
}

void expectStatusDriverError(const QWidget *form)
{
    const QString text = statusText(form);
    QVERIFY2(text.contains(QStringLiteral("[FreeTDS]")), qPrintable(text));
}

} // namespace realm::test
