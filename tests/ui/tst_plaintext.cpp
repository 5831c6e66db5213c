// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "env/ForbiddenScan.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/widgets/Form5.h"
#include "ui/Form1.h"
#include "ui/StatusBar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

namespace {

const QString kMarkup = QStringLiteral("<b>李</b><img src=\"/etc/hostname\">");

// A label shows its text as written when it is at least as wide as the text's characters; a
// label that reads the text as markup shows one bold character and maybe a picture.
bool showsLiterally(const QLabel *label)
{
    const QString shown = label->text();
    return label->sizeHint().width() >= QFontMetrics(label->font()).horizontalAdvance(shown) - 1;
}

QLabel *labelHolding(const QWidget *window, const QString &text)
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->text().contains(text))
            return label;
    }
    return nullptr;
}

} // namespace

// Text from the student, the server, the settings file and the data files is shown as it is
// written: a name such as <b>李</b> is not bold, an <img> loads nothing.
class PlainTextTest : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowLabels()
    {
        TestEnv env;
        Form1 &form = env.createForm();
        Client &c = env.client();
        c.ui.sb->showIdentity(kMarkup, kMarkup, kMarkup);
        c.ui.LBM->setText(kMarkup + QStringLiteral("    五笔编码："));
        QLabel *hint = form.widgets().LBM;
        QVERIFY(showsLiterally(hint));
        int panels = 0;
        for (QLabel *panel : form.widgets().sb->findChildren<QLabel *>()) {
            if (!panel->text().contains(kMarkup))
                continue;
            ++panels;
            QVERIFY2(showsLiterally(panel), qPrintable(panel->text()));
        }
        QCOMPARE(panels, 3);
    }

    void resultWindowLabels()
    {
        Form5 form;
        form.fill(kMarkup, kMarkup, kMarkup, kMarkup, kMarkup);
        for (QLabel *label : {form.Lname, form.Lxuehao, form.Lbanji, form.Lmsg})
            QVERIFY2(showsLiterally(label), qPrintable(label->text()));
    }

    void messageBoxQuotesAsWritten()
    {
        TestEnv env;
        env.createForm();
        env.windowTitles.list = {QStringLiteral("<b>QQ</b> 聊天")};
        bool literal = false;
        env.windows.answer = [&](QDialog &dialog) {
            if (QLabel *text = labelHolding(&dialog, QStringLiteral("<b>QQ</b>")))
                literal = showsLiterally(text);
            return int(QMessageBox::Ok);
        };
        env.client().forbidden->check(QStringLiteral("<b>QQ</b>"));
        QCOMPARE(env.dialogs.count(), 1);
        QVERIFY(literal);
    }
};

CLIENT_TEST(PlainTextTest)
#include "tst_plaintext.moc"
