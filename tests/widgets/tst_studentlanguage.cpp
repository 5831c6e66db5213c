// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The client speaks the student's language in Qt's own texts too: the standard buttons of its
// message boxes and the dates of the message window, Chinese where the computer names no
// language. Uses Qt's real catalogues (qt6-translations-l10n).
#include "core/StudentLanguage.h"
#include "tests/support/TestRegistry.h"
#include "typing/widgets/MessageWindows.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

namespace {

// Installs the language for one test and takes it back afterwards, so the other tests of the
// area keep Qt's English texts and the C locale.
struct LanguageScope
{
    explicit LanguageScope(const QLocale &locale, const QString &folder = {})
        : translator(studentlanguage::use(*QCoreApplication::instance(), locale, folder))
    {}
    ~LanguageScope()
    {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(QLocale::c());
    }
    QTranslator *translator;
};

} // namespace

class StudentLanguageTest : public QObject
{
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("C locale speaks Chinese") << "C"
                                                 << "zh_CN";
        QTest::newRow("POSIX locale speaks Chinese") << "POSIX"
                                                     << "zh_CN";
        QTest::newRow("Chinese stays") << "zh_CN"
                                       << "zh_CN";
        QTest::newRow("traditional Chinese stays") << "zh_TW"
                                                   << "zh_TW";
        QTest::newRow("an English desktop stays English") << "en_GB"
                                                          << "en_GB";
    }
    void choice()
    {
        QFETCH(QString, system);
        QFETCH(QString, chosen);
        QCOMPARE(studentlanguage::choose(QLocale(system)).name(), chosen);
    }

    void standardButtonsReadChinese_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QStringLiteral("是");
        QTest::newRow("no") << int(QMessageBox::No) << QStringLiteral("否");
        QTest::newRow("ok") << int(QMessageBox::Ok) << QStringLiteral("确定");
    }
    void standardButtonsReadChinese()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        LanguageScope scope(studentlanguage::choose(QLocale::c()));
        QVERIFY2(scope.translator, "no Qt catalogue for zh_CN (qt6-translations-l10n)");
        QMessageBox box(QMessageBox::Question, QStringLiteral("确认操作"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
        const QString shown = box.button(QMessageBox::StandardButton(button))->text();
        // The accelerator is kept as Qt's catalogue writes it: 是(&Y).
        QVERIFY2(shown.startsWith(text), qPrintable(shown));
    }

    void buttonsStayEnglishWithoutACatalogue()
    {
        LanguageScope scope(QLocale(QStringLiteral("zh_CN")), QStringLiteral("/nonexistent"));
        QVERIFY(!scope.translator);
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
    }

    void messageStampsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("date");
        QTest::newRow("Chinese under a C locale") << "C"
                                                  << "2026/3/9";
        QTest::newRow("English desktop") << "en_US"
                                         << "3/9/26";
    }
    void messageStampsFollowTheLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, date);
        LanguageScope scope(studentlanguage::choose(QLocale(locale)));
        const QString stamp =
            MessageWindows::timeStamp(QDateTime(QDate(2026, 3, 9), QTime(8, 5, 7)));
        QCOMPARE(stamp, date + QStringLiteral(" 8:05:07"));
    }
};

CLIENT_TEST(StudentLanguageTest)
#include "tst_studentlanguage.moc"
