#include "Fixtures.h"
#include "FormDriving.h"
#include "startup/Language.h"
#include "ui/account/Form3.h"
#include "ui/itemlookup/Form2.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTableView>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

namespace {

bool hasChinese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF; });
}

bool hasLetters(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
}

// A text without letters (a count) reads the same in both languages.
QString languageProblem(const QString &text, Language language)
{
    if (text.trimmed().isEmpty())
        return u"empty"_s;
    if (!hasLetters(text))
        return {};
    if (hasChinese(text) != (language == Language::Chinese))
        return u"in the other language"_s;
    const auto chinesePunctuation = [](QChar c) { return (c >= u'\u3000' && c <= u'\u303F') || (c >= u'\uFF01' && c <= u'\uFF1F'); };
    if (language == Language::English && std::any_of(text.cbegin(), text.cend(), chinesePunctuation))
        return u"Chinese punctuation"_s;
    return {};
}

QString labelFitProblem(const QLabel *label)
{
    const QRect room = label->contentsRect();
    const QFontMetrics metrics = label->fontMetrics();
    const QRect needed = label->wordWrap() ? metrics.boundingRect(room, Qt::TextWordWrap, label->text())
                                           : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
    if (needed.width() > room.width() || needed.height() > room.height())
        return u"needs %1x%2, has %3x%4"_s.arg(needed.width()).arg(needed.height()).arg(room.width()).arg(room.height());
    return {};
}

QString buttonFitProblem(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics metrics = button->fontMetrics();
    const int needed = metrics.horizontalAdvance(button->text());
    // The text is drawn centred and unclipped inside the frame: only the
    // button's own edge cuts it off from above and below.
    if (needed > room.width() || metrics.height() > button->height())
        return u"needs %1x%2, has %3 wide, %4 high"_s.arg(needed).arg(metrics.height()).arg(room.width()).arg(button->height());
    return {};
}

QString headerFitProblem(const QHeaderView *header, int section)
{
    const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int needed = header->fontMetrics().horizontalAdvance(text) + 2 * margin;
    if (needed > header->sectionSize(section))
        return u"needs %1 wide, has %2"_s.arg(needed).arg(header->sectionSize(section));
    return {};
}

// Every caption, button text, column header (as shown and as heard) and status line of `form`, with
// what is wrong with it: not in `language`, empty, or cut off.
QStringList captionProblems(QWidget *form, Language language)
{
    QStringList problems;
    auto note = [&](const QString &where, const QString &text, const QString &problem) {
        if (!problem.isEmpty())
            problems << u"%1 %2 \"%3\": %4"_s.arg(form->objectName(), where, text, problem);
    };
    note(u"title"_s, form->windowTitle(), languageProblem(form->windowTitle(), language));
    for (const QLabel *label : form->findChildren<QLabel *>()) {
        if (label->objectName() == u"Label6") { // a web address, the same in every language
            note(label->objectName(), label->text(), labelFitProblem(label));
            continue;
        }
        // The status line may be empty and shortens its text on purpose (its
        // tooltip has all of it).
        if (label->objectName() == u"StatusLine") {
            if (!label->text().isEmpty())
                note(label->objectName(), label->text(), languageProblem(label->text(), language));
            continue;
        }
        note(label->objectName(), label->text(), languageProblem(label->text(), language));
        note(label->objectName(), label->text(), labelFitProblem(label));
    }
    for (const QPushButton *button : form->findChildren<QPushButton *>()) {
        note(button->objectName(), button->text(), languageProblem(button->text(), language));
        note(button->objectName(), button->text(), buttonFitProblem(button));
        if (button->height() < button->sizeHint().height())
            note(button->objectName(), button->text(), u"lower than its text needs"_s);
    }
    // What an accessibility client reads of the lists and the status line.
    for (QTableView *view : form->findChildren<QTableView *>()) {
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
        for (int child = 0; child < list->childCount(); ++child) {
            const QAccessibleInterface *cell = list->child(child);
            if (cell->role() == QAccessible::ColumnHeader || cell->role() == QAccessible::RowHeader)
                note(u"accessible header"_s, cell->text(QAccessible::Name), languageProblem(cell->text(QAccessible::Name), language));
        }
    }
    const QString status = QAccessible::queryAccessibleInterface(form->findChild<QLabel *>(u"StatusLine"_s))->text(QAccessible::Name);
    note(u"accessible status line"_s, status, languageProblem(status, language));
    for (const QLineEdit *box : form->findChildren<QLineEdit *>()) {
        if (!box->placeholderText().isEmpty())
            note(box->objectName(), box->placeholderText(), languageProblem(box->placeholderText(), language));
    }
    for (const QHeaderView *header : form->findChildren<QHeaderView *>()) {
        if (header->orientation() != Qt::Horizontal)
            continue;
        for (int section = 0; section < header->count(); ++section) {
            const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
            note(u"header"_s, text, languageProblem(text, language));
            note(u"header"_s, text, headerFitProblem(header, section));
        }
    }
    return problems;
}

void unloadAll()
{
    FormSlot<Form3>::instance().unload();
    FormSlot<Form2>::instance().unload();
    FormSlot<Form1>::instance().unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

// Each interface language in every window after a search: every text in
// that language, none empty, none cut off by its control.
class TestLanguages : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;

private slots:
    void initTestCase()
    {
        m_folder.writeItems(test::standardItems() + u"70\t空英文名\t\\e\n71\t无英文名\t\n"_s);
        m_folder.writeGameDatabase(test::standardGameSql()
                                   + u"INSERT INTO user_data VALUES (9,'双名','acct9');"
                                     "INSERT INTO user_item VALUES (120,9,70,1,0),(121,9,71,1,0),(122,9,57,1,0);"_s);
        m_folder.writeSqliteIni();
    }

    void cleanup() { unloadAll(); }

    void captionsSpeakOneLanguageAndFit_data()
    {
        QTest::addColumn<Language>("language");
        QTest::newRow("zh") << Language::Chinese;
        QTest::newRow("en") << Language::English;
    }

    void captionsSpeakOneLanguageAndFit()
    {
        QFETCH(Language, language);
        useLanguage(language);
        Form1 &main = test::startProgram(m_folder.path());
        test::typeInto(&main, u"Text1"_s, u"李逍遥"_s);
        // Two notes beside the count: the status line joins three parts.
        test::typeInto(&main, u"Text3"_s, u"1x"_s);
        test::typeInto(&main, u"Text4"_s, u"0y"_s);
        test::click(&main, u"Command1"_s);
        for (const char *box : {"Text1", "Text5"})
            QVERIFY(test::control<QLineEdit>(&main, QString::fromLatin1(box))->placeholderText().contains(u"% "_s));
        // Letters of a proportional face differ in width, whatever the locale.
        QVERIFY(main.fontMetrics().horizontalAdvance(u"iiii"_s) < main.fontMetrics().horizontalAdvance(u"WWWW"_s));
        Form2 &items = test::showForm<Form2>();
        test::typeInto(&items, u"Text1_0"_s, u"57"_s);
        test::click(&items, u"Command1"_s);
        Form3 &characters = test::showForm<Form3>();
        test::typeInto(&characters, u"Text1"_s, u"赵灵儿"_s);
        test::click(&characters, u"Command1"_s);

        QStringList problems;
        for (QWidget *form : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&items),
                              static_cast<QWidget *>(&characters)})
            problems << captionProblems(form, language);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // Qt's own texts: the buttons of the first-run question and the export's
    // message boxes.
    void dialogButtonsSpeakTheLanguage_data() { captionsSpeakOneLanguageAndFit_data(); }

    void dialogButtonsSpeakTheLanguage()
    {
        QFETCH(Language, language);
        useLanguage(language);
        const QMessageBox question(QMessageBox::Question, u"-"_s, u"-"_s, QMessageBox::Yes | QMessageBox::No);
        for (const QAbstractButton *button : question.buttons())
            QCOMPARE(languageProblem(button->text(), language), QString());
    }

    void itemNamesFollowTheLanguage_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("zh") << Language::Chinese << QStringList{u"空英文名"_s, u"无英文名"_s, u"青铜长剑"_s};
        QTest::newRow("en") << Language::English << QStringList{u"空英文名"_s, u"无英文名"_s, u"Bronze Sword"_s};
    }

    void itemNamesFollowTheLanguage()
    {
        QFETCH(Language, language);
        QFETCH(QStringList, names);
        useLanguage(language);
        Form1 &main = test::startProgram(m_folder.path());
        test::typeInto(&main, u"Text1"_s, u"双名"_s);
        test::click(&main, u"Command1"_s);
        const QAbstractItemModel *list = test::control<QTableView>(&main, u"ListView1"_s)->model();
        QStringList shown;
        for (int row = 0; row < list->rowCount(); ++row)
            shown << list->index(row, 2).data().toString();
        shown.sort();
        names.sort();
        QCOMPARE(shown, names);
    }
};

QTEST_MAIN(TestLanguages)
#include "test_languages.moc"
