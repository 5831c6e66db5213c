#include "TestEnv.h"

#include "core/Gbk.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFile>

TestEnv::TestEnv()
{
    services.dialogs = &windowDialogs;
    services.clipboard = &clipboard;
    services.machine = &machine;
    services.inputMethods = &inputMethods;
    services.windowTitles = &windowTitles;
    services.socket = &fakeSocket;
    services.appDir = dir.path();

    m_modalGuard.setInterval(50);
    QObject::connect(&m_modalGuard, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != m_modal) {
            m_modal = modal;
            m_modalSince.start();
        } else if (modal && m_modalSince.elapsed() >= kModalGraceMs) {
            modal->close();
        }
    });
    m_modalGuard.start();
}

TestEnv::~TestEnv() = default;

void TestEnv::writeGbkFile(const QString &name, const QString &content)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(gbk::encode(content).bytes);
}

Form1 &TestEnv::createForm(Socket *socket)
{
    if (socket)
        services.socket = socket;
    form = std::make_unique<Form1>(services, windows);
    return *form;
}

Client &TestEnv::client()
{
    return form->client();
}
