#include "core/Client.h"

#include "core/Dialogs.h"
#include "core/Fonts.h"
#include "core/IniStore.h"
#include "core/Numeric.h"
#include "core/Platform.h"
#include "env/ForbiddenScan.h"
#include "env/InputMethodSelection.h"
#include "hints/CodeTables.h"
#include "hints/HintDelay.h"
#include "hints/RootDisplay.h"
#include "net/Connection.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "practice/PracticeLauncher.h"
#include "typing/InputGuards.h"
#include "typing/MessageWindows.h"
#include "typing/RichTextBox.h"
#include "typing/TestClock.h"
#include "typing/TypingEngine.h"
#include "ui/SettingsDialogs.h"
#include "ui/StatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <exception>

Client::Client(const MainControls &controls, const Services &services)
    : ui(controls)
    , services(services)
    , tables(std::make_unique<CodeTables>(*this))
    , roots(std::make_unique<RootDisplay>(*this))
    , hints(std::make_unique<HintDelay>(*this))
    , typing(std::make_unique<TypingEngine>(*this))
    , clock(std::make_unique<TestClock>(*this))
    , guards(std::make_unique<InputGuards>(*this))
    , windows(std::make_unique<MessageWindows>(*this))
    , connection(std::make_unique<Connection>(*this))
    , control(std::make_unique<TestControl>(*this))
    , imes(std::make_unique<InputMethodSelection>(*this))
    , forbidden(std::make_unique<ForbiddenScan>(*this))
    , practice(std::make_unique<PracticeLauncher>(*this))
{
}

Client::~Client() = default;

void Client::connectEvents()
{
    QObject *context = ui.window;
    QObject::connect(ui.txt2, &RichTextBox::changed, context, [this] { typing->txt2_Change(); });
    QObject::connect(ui.txt1, &RichTextBox::gotFocus, context, [this] { guards->txt1_GotFocus(); });
    QObject::connect(ui.txt2, &RichTextBox::gotFocus, context, [this] { guards->txt2_GotFocus(); });
    QObject::connect(ui.txt2, &RichTextBox::keyDown, context,
                     [this](int key, int shift) { guards->txt2_KeyDown(key, shift); });
    QObject::connect(ui.txt2, &RichTextBox::keyUp, context,
                     [this](int key, int shift) { guards->txt2_KeyUp(key, shift); });
    QObject::connect(ui.txt2, &RichTextBox::mouseUp, context,
                     [this](int button, int shift, int x, int y) {
                         guards->txt2_MouseUp(button, shift, x, y);
                     });

    QObject::connect(ui.Timer3, &QTimer::timeout, context, [this] { clock->Timer3_Timer(); });
    QObject::connect(ui.Timer4, &QTimer::timeout, context, [this] { connection->Timer4_Timer(); });

    QObject::connect(ui.cmdlianjie, &QPushButton::clicked, context,
                     [this] { connection->cmdlianjie_Click(); });
    QObject::connect(ui.cmdread, &QPushButton::clicked, context, [this] { control->cmdread_Click(); });
    QObject::connect(ui.cmdexit, &QPushButton::clicked, context, [this] { control->cmdexit_Click(); });
    QObject::connect(ui.btnzigen, &QPushButton::clicked, context, [this] { btnzigen_Click(); });
    QObject::connect(ui.cmdserverset, &QPushButton::clicked, context, [this] { showForm3(*this); });
    QObject::connect(ui.cmduserset, &QPushButton::clicked, context, [this] { showForm2(*this); });
    QObject::connect(ui.cts, &QCheckBox::clicked, context, [this] { hints->cts_Click(); });
    QObject::connect(ui.cmbshurufa, &QComboBox::activated, context,
                     [this] { imes->cmbshurufa_Click(); });

    if (Socket *wsk = services.socket) {
        QObject::connect(wsk, &Socket::connected, context, [this] { connection->wsk_Connect(); });
        QObject::connect(wsk, &Socket::closed, context, [this] { connection->wsk_Close(); });
        QObject::connect(wsk, &Socket::error, context, [this] { connection->wsk_Error(); });
        QObject::connect(wsk, &Socket::dataArrival, context,
                         [this] { control->wsk_DataArrival(); });
    }
}

QString Client::productCaption()
{
    return QStringLiteral("澄岭文字录入测试系统客户端  %1.%2.%3")
        .arg(CLIENT_VERSION_MAJOR)
        .arg(CLIENT_VERSION_MINOR)
        .arg(CLIENT_VERSION_PATCH);
}

QString Client::startCaption()
{
    return QStringLiteral("澄岭打字测试系统客户端");
}

QString Client::getthecomputerName()
{
    // The name is used as the platform gives it, at most 225 characters.
    const QString name = services.machine ? services.machine->computerName() : QString();
    return name.left(225);
}

void Client::checkStr()
{
    for (QString *text : {&state.strUserName, &state.strXuehao, &state.strBanji}) {
        const qsizetype nul = text->indexOf(QChar(0));
        if (nul >= 0)
            text->truncate(nul);
    }
}

void Client::Form_Load()
{
    try {
        state.computerName = getthecomputerName();
        ui.sb->setPanelText(5, QStringLiteral("计算机名：") + state.computerName);
        state.NumHintDelay = 8;
        imes->ReadShurufa();

        state.ColorRight = QColor(150, 150, 150);
        state.ColorErr = QColor(255, 0, 0);
        state.ColorNoinput = QColor(0, 0, 0);
        state.ColorNow = QColor(0, 0, 255);

        state.txtFontsize = 25;
        state.txtFontName = QStringLiteral("黑体");
        const QFont boxFont = clientFont(state.txtFontName, state.txtFontsize);
        ui.txt1->setFont(boxFont);
        ui.txt2->setFont(boxFont);

        // An installed client's first start fills the user's settings from the room's preset.
        if (const Status prepared = services.paths.prepareSettings(); !prepared.ok())
            showMessage(*services.dialogs, ui.window, QMessageBox::Warning, QStringLiteral("注意"),
                        prepared.error);
        const QString ini = services.paths.settingsFileToRead();
        state.NumServerPort = ClientState::kDefaultPort;
        state.strServerIp = ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), ini);
        if (const auto port = numeric::toIntInRange(
                ReadIni(QStringLiteral("serverset"), QStringLiteral("port"), ini),
                ClientState::kMinPort, ClientState::kMaxPort))
            state.NumServerPort = *port;

        tables->ReadBM();

        state.strUserName = ReadIni(QStringLiteral("userinfo"), QStringLiteral("name"), ini);
        state.strXuehao = ReadIni(QStringLiteral("userinfo"), QStringLiteral("xuehao"), ini);
        state.strBanji = ReadIni(QStringLiteral("userinfo"), QStringLiteral("banji"), ini);
        checkStr();

        ui.sb->setPanelText(2, QStringLiteral("姓名：") + state.strUserName);
        ui.sb->setPanelText(3, QStringLiteral("学号：") + state.strXuehao);
        ui.sb->setPanelText(4, QStringLiteral("班级：") + state.strBanji);

        clock->refreshDisplay();

        ui.window->setWindowTitle(productCaption());

        QPalette palette = ui.cts->palette();
        palette.setColor(QPalette::Window, ui.window->palette().color(QPalette::Window));
        ui.cts->setPalette(palette);
    } catch (const std::exception &e) {
        showMessage(*services.dialogs, ui.window, QMessageBox::Critical, QStringLiteral("错误"),
                    QString::fromLocal8Bit(e.what()));
    }
}

void Client::Form_QueryUnload(bool &cancel)
{
    if (!state.IsWorking)
        return;
    showMessage(*services.dialogs, ui.window, QMessageBox::Warning, QStringLiteral("注意"),
                QStringLiteral("正在进行测试，无法退出。请先点击“结束”按钮。"));
    if (ui.Timer3->isActive())
        ui.cmdexit->setEnabled(true);
    cancel = true;
}

void Client::btnzigen_Click()
{
    if (ui.Pmid2->isVisibleTo(ui.window)) {
        ui.Pmid2->hide();
        ui.Pmid->show();
    } else {
        ui.Pmid2->show();
        ui.Pmid->hide();
    }
    ui.txt2->setFocus();
}
