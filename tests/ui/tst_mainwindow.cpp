// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/widgets/RichTextBox.h"
#include "ui/Form1.h"
#include "ui/StatusBar.h"

#include <QMessageBox>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void startUpState()
    {
        TestEnv env;
        Form1 &form = env.createForm();
        const MainWidgets &ui = form.widgets();
        const MainControls &models = env.client().ui;
        QCOMPARE(form.windowTitle(), QStringLiteral("澄岭文字录入测试系统客户端  1.8.0"));
        QCOMPARE(ui.sb->panelText(5), QStringLiteral("计算机名：PC07"));
        QCOMPARE(ui.cmdlianjie->text(), QStringLiteral("连接..."));
        QCOMPARE(ui.cmdread->text(), QStringLiteral("开 始"));
        QCOMPARE(ui.cmdexit->text(), QStringLiteral("结 束"));
        QCOMPARE(ui.btnzigen->text(), QStringLiteral("字根表"));
        QCOMPARE(ui.cmdserverset->text(), QStringLiteral("服务器设置"));
        QCOMPARE(ui.cmduserset->text(), QStringLiteral("设置个人信息"));
        QVERIFY(ui.cmdlianjie->isEnabled() && ui.cmdserverset->isEnabled() &&
                ui.cmduserset->isEnabled());
        QVERIFY(!ui.cmdread->isEnabled() && !ui.cmdexit->isEnabled() && !ui.btnzigen->isEnabled());
        QVERIFY(!ui.cts->isEnabled() && !ui.cts->isChecked());
        QCOMPARE(ui.cts->text(), QStringLiteral("显示编码提示"));
        QVERIFY(!models.Timer3->isActive());
        QVERIFY(models.Timer4->isActive());
        QCOMPARE(models.Timer4->interval(), 500);
        QCOMPARE(models.Timer3->interval(), 1000);
        QVERIFY(ui.Pmid->isVisibleTo(&form));
        QVERIFY(!ui.Pmid2->isVisibleTo(&form));
    }

    void layoutRules_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("design") << 1120 << 660;
        QTest::newRow("wide") << 1600 << 900;
        QTest::newRow("low") << 1100 << 300;
    }

    void layoutRules()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        TestEnv env;
        Form1 &form = env.createForm();
        form.show();
        form.resize(width, height);
        const MainWidgets &ui = form.widgets();
        // Button row: ends 100 twips before the right edge, buttons 100 twips apart.
        // Positions are in twips, so a pixel of rounding is allowed.
        const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
        QVERIFY(near(ui.cmduserset->geometry().right() + 1, ui.Ptop->width() - form.px(100)));
        const QList<QPushButton *> row{ui.cmdlianjie, ui.cmdread,      ui.cmdexit,
                                       ui.btnzigen,   ui.cmdserverset, ui.cmduserset};
        for (int i = 1; i < row.size(); ++i)
            QVERIFY(near(row[i]->x(), row[i - 1]->x() + row[i - 1]->width() + form.px(100)));
        // Timing labels start 7900 twips from the right edge of the inner area.
        QCOMPARE(ui.Ltimel1->x(), form.width() - form.px(7900));
        QCOMPARE(ui.Ltime->x(), ui.Ltimel1->x() + ui.Ltimel1->width());
        QCOMPARE(ui.Ltimel2->x(), ui.Ltime->x() + ui.Ltime->width() + form.px(200));
        // Panels: top and bottom keep their heights, the middle takes the rest.
        QCOMPARE(ui.Ptop->height(), form.px(1935));
        QCOMPARE(ui.Pbottom->height(), form.px(495));
        QCOMPARE(ui.Pbottom->y() + ui.Pbottom->height(), ui.sb->y());
        QCOMPARE(ui.Pmid->y(), ui.Ptop->height());
        QCOMPARE(ui.Pmid->height(), ui.Pbottom->y() - ui.Ptop->height());
        QCOMPARE(ui.Pmid->width(), form.width() - form.px(400));
        QCOMPARE(ui.Pmid2->geometry(), ui.Pmid->geometry());
        // The two boxes are equal and 200 twips apart, while the panel is high enough.
        if (ui.Pmid->height() / 2 - form.px(250) >= 0) {
            QCOMPARE(ui.txt1->size(), ui.txt2->size());
            QCOMPARE(ui.txt1->height(), ui.Pmid->height() / 2 - form.px(250));
            QCOMPARE(ui.txt2->y(), ui.txt1->y() + ui.txt1->height() + form.px(200));
        }
        QCOMPARE(ui.LBM->x(), ui.cts->x() + ui.cts->width() + form.px(200));
    }

    void closeIsRefusedWhileATestRuns()
    {
        TestEnv env;
        Form1 &form = env.createForm();
        form.show();
        QVERIFY(form.close());
        QVERIFY(!form.isVisible());
        QCOMPARE(env.dialogs.count(), 0);

        form.show();
        env.client().state.IsWorking = true;
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(env.dialogs.lastBox().text,
                 QStringLiteral("正在进行测试，无法退出。请先点击“结束”按钮。"));
        QCOMPARE(env.dialogs.lastBox().icon, int(QMessageBox::Warning));
    }

    // The designed minimum width (15000 twips with the frame) holds where the screen has room
    // for it; on a smaller screen (CLIENT_TEST_SCREEN, QT_SCALE_FACTOR) the screen's free width
    // is the minimum, and the window opens inside the free area.
    void minimumWidthFitsTheScreen()
    {
        TestEnv env;
        Form1 &form = env.createForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect available = form.screen()->availableGeometry();
        QVERIFY2(available.contains(form.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2 on a screen of %3x%4")
                                .arg(form.frameGeometry().width())
                                .arg(form.frameGeometry().height())
                                .arg(available.width())
                                .arg(available.height())));
        const int frame = form.frameGeometry().width() - form.width();
        const int expected = std::min(form.px(15000), available.width());
        QVERIFY2(std::abs(form.minimumWidth() + frame - expected) <= 1,
                 qPrintable(QStringLiteral("minimum %1 + frame %2, expected %3")
                                .arg(form.minimumWidth())
                                .arg(frame)
                                .arg(expected)));
        form.resize(400, 300);
        QCOMPARE(form.width(), form.minimumWidth());
        QCOMPARE(form.height(), 300);
    }

    void rootTableButtonSwitchesPanels()
    {
        TestEnv env;
        Form1 &form = env.createForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        Client &c = env.client();
        const MainWidgets &w = form.widgets();
        c.ui.btnzigen->setEnabled(true);
        QTest::mouseClick(w.btnzigen, Qt::LeftButton);
        QVERIFY(w.Pmid2->isVisible());
        QVERIFY(!w.Pmid->isVisible());
        QTest::mouseClick(w.btnzigen, Qt::LeftButton);
        QVERIFY(!w.Pmid2->isVisible());
        QVERIFY(w.Pmid->isVisible());
        QCOMPARE(QApplication::focusWidget(), w.txt2);
    }
};

CLIENT_TEST(MainWindowTest)
#include "tst_mainwindow.moc"
