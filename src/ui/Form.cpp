#include "ui/Form.h"

#include "data/DataError.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace realm::ui {

Form::Form(QWidget *parent)
    : QWidget(parent)
{
}

void reportFatal(long number, const QString &text)
{
    const QString report = QCoreApplication::translate("realm::ui::Form", "运行时错误 %1：\n\n%2").arg(number).arg(text);
    std::fprintf(stderr, "%s\n", report.toUtf8().constData());
    // Nobody could answer a box on the offscreen platform.
    if (QGuiApplication::platformName() != u"offscreen")
        QMessageBox::critical(nullptr, QApplication::applicationName(), report);
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
