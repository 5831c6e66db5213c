#include "TestEnv.h"
#include "TestRegistry.h"
#include "core/Client.h"
#include "ui/Form1.h"
#include "ui/StatusBar.h"

#include <QPushButton>
#include <QTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void captionAfterStartUp()
    {
        TestEnv env;
        Form1 &form = env.createForm();
        QCOMPARE(form.windowTitle(), QStringLiteral("澄岭文字录入测试系统客户端  1.8.0"));
        QCOMPARE(env.client().ui.sb->panelText(5), QStringLiteral("计算机名：PC07"));
    }
};

CLIENT_TEST(MainWindowTest)
#include "tst_mainwindow.moc"
