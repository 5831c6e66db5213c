// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/Form1.h"

#include "core/widgets/Fonts.h"
#include "core/widgets/GapLabel.h"
#include "core/widgets/Geometry.h"
#include "core/widgets/PictureBox.h"
#include "hints/widgets/RootChart.h"
#include "hints/widgets/RootGlyphs.h"
#include "practice/PracticeLauncher.h"
#include "practice/widgets/Form6.h"
#include "practice/widgets/RootInputBox.h"
#include "typing/TestSession.h"
#include "typing/widgets/MessageWindows.h"
#include "typing/widgets/RichTextBox.h"
#include "ui/Bindings.h"
#include "ui/SettingsDialogs.h"
#include "ui/StatusBar.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kMinOuterWidth = 15000; // twips
constexpr int kTopHeight = 1935;
constexpr int kBottomHeight = 495;

QLabel *makeLabel(QWidget *parent, const QString &text, const QFont &font,
                  const QColor &color = QColor())
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLabel *makeBoxLabel(QWidget *parent, const QFont &font)
{
    // Centred black on white, like the value fields of the statistics row.
    auto *label = new QLabel(parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

} // namespace

Form1::Form1(const Services &services, ModalRunner &modal, QWidget *parent)
    : QWidget(parent)
    , m_logic(std::make_unique<ClientLogic>(services))
    , m_modal(modal)
    , m_windows(std::make_unique<MessageWindows>(this))
{
    setWindowTitle(Client::startCaption());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 255));
    setPalette(palette);
    setAutoFillBackground(true);

    createControls();
    bindControls();

    resize(px(16800), px(9900));
    fitToScreen();
    layoutWindow();

    m_logic->Form_Load();
    const ClientState &state = client().state;
    const QFont boxFont = clientFont(state.txtFontName, state.txtFontsize);
    m_widgets.txt1->setFont(boxFont);
    m_widgets.txt2->setFont(boxFont);
    setWindowTitle(Client::productCaption());
    QPalette ctsPalette = m_widgets.cts->palette();
    ctsPalette.setColor(QPalette::Window, this->palette().color(QPalette::Window));
    m_widgets.cts->setPalette(ctsPalette);

    client().ui.Timer4->start();
}

Form1::~Form1()
{
    client().ui.Timer3->stop();
    client().ui.Timer4->stop();
    m_windows.reset();
    // The practice window has no parent: it stands beside this window, which it replaces.
    delete m_practiceWindow.data();
    // The widgets go before the models they show.
    qDeleteAll(findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void Form1::bindControls()
{
    MainControls &ui = client().ui;
    MainWidgets &w = m_widgets;
    for (auto [model, widget] :
         {std::pair{ui.Ptop, w.Ptop}, {ui.Pmid, w.Pmid}, {ui.Pmid2, w.Pmid2}})
        bind::widget(model, widget);
    bind::button(ui.cmdlianjie, w.cmdlianjie);
    bind::button(ui.cmdread, w.cmdread);
    bind::button(ui.cmdexit, w.cmdexit);
    bind::button(ui.btnzigen, w.btnzigen);
    bind::button(ui.cmdserverset, w.cmdserverset);
    bind::button(ui.cmduserset, w.cmduserset);
    bind::button(ui.cts, w.cts);
    bind::label(ui.Lmsg2, w.Lmsg2, false);
    bind::label(ui.Lmsg, w.Lmsg, true);
    connect(ui.Lmsg, &ControlModel::textChanged, this, [this] { m_statistics.followProgress(); });
    bind::label(ui.Ltime, w.Ltime, false);
    bind::label(ui.Ltime2, w.Ltime2, false);
    bind::label(ui.Ltime3, w.Ltime3, false);
    bind::label(ui.LBM, w.LBM, true);
    bind::progress(ui.pb, w.pb);
    bind::choices(ui.cmbshurufa, w.cmbshurufa);
    bind::status(ui.sb, w.sb);
    connect(&ui, &MainControls::rootsChanged, this, &Form1::showRoots);
    connect(&ui, &MainControls::rootSlotsPlaced, this, &Form1::placeRoots);

    ClientLogic *logic = m_logic.get();
    connect(logic, &ClientLogic::serverSettingsWanted, this,
            [this] { showForm3(client(), m_modal, this); });
    connect(logic, &ClientLogic::userSettingsWanted, this,
            [this] { showForm2(client(), m_modal, this); });
    connect(logic, &ClientLogic::teacherMessage, this,
            [this](const QString &text) { m_windows->PrintText(text); });
    connect(logic, &ClientLogic::resultReady, this,
            [this](const TestResult &result) { m_windows->showMsg(result); });
    m_windows->setPracticeStarter(
        [this](quint64 test, const QString &cuowu) { client().session->startDrill(test, cuowu); });
    m_windows->setClearance([this] { return messageClearance(); });

    PracticeLauncher *practice = client().practice;
    connect(practice, &PracticeLauncher::windowLoaded, this, &Form1::loadPracticeWindow);
    connect(practice, &PracticeLauncher::windowShown, this, &Form1::showPracticeWindow);
    connect(practice, &PracticeLauncher::windowCloseRequested, this, [this] {
        if (m_practiceWindow)
            m_practiceWindow->close();
    });
    connect(practice, &PracticeLauncher::windowUnloaded, this, [this] { show(); });
}

// A teacher's message leaves the student the code hint, the reference text and the typing
// box (from the hint row down to the end of the middle panel, whichever face it shows); in
// root practice, the root strip and its box.
MessageWindows::Clearance Form1::messageClearance() const
{
    MessageWindows::Clearance clearance;
    clearance.testRunning = m_logic->client().state.IsWorking;
    if (m_practiceWindow && m_practiceWindow->isVisible()) {
        QWidget *strip = m_practiceWindow->Pmid;
        clearance.window = m_practiceWindow;
        clearance.keepClear = QRect(strip->mapToGlobal(QPoint(0, 0)), strip->size());
        return clearance;
    }
    const MainWidgets &w = m_widgets;
    const QPoint top = w.cts->mapToGlobal(QPoint(0, 0));
    const QPoint bottom = w.Pmid->mapToGlobal(QPoint(w.Pmid->width(), w.Pmid->height()));
    clearance.window = const_cast<Form1 *>(this);
    clearance.keepClear = QRect(QPoint(w.Pmid->mapToGlobal(QPoint(0, 0)).x(), top.y()), bottom);
    return clearance;
}

Form6 *Form1::practiceWindow() const
{
    return m_practiceWindow;
}

void Form1::loadPracticeWindow(PracticeSession *session)
{
    delete m_practiceWindow.data();
    m_practiceWindow = new Form6(*session);
    m_practiceWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_practiceWindow, &Form6::unloaded, client().practice, &PracticeLauncher::Form_Unload);
}

// The practice takes the main window's place until its window closes.
void Form1::showPracticeWindow()
{
    if (!m_practiceWindow)
        return;
    m_practiceWindow->show();
    m_practiceWindow->raise();
    m_practiceWindow->activateWindow();
    m_practiceWindow->RTinput->setFocus();
    hide();
}

void Form1::showRoots()
{
    const MainControls &ui = client().ui;
    for (size_t k = 0; k < m_widgets.Imgzg.size(); ++k) {
        QLabel *slot = m_widgets.Imgzg[k];
        const int number = ui.Imgzg[k];
        slot->setProperty("glyphNumber", number);
        if (number == 0)
            slot->clear();
        else
            slot->setPixmap(rootglyphs::glyph(number, slot->devicePixelRatioF()));
    }
}

// The root slots follow the hint text.
void Form1::placeRoots()
{
    int left = m_widgets.LBM->x() + m_widgets.LBM->width() + px(200);
    for (QLabel *slot : m_widgets.Imgzg) {
        slot->move(left, slot->y());
        left += slot->width() + px(100);
    }
}

int Form1::px(int twips) const
{
    return twipsToPixels(this, twips);
}

int Form1::twips(int pixels) const
{
    return pixelsToTwips(this, pixels);
}

void Form1::createControls()
{
    MainWidgets &c = m_widgets;

    c.Ptop = new QWidget(this);
    c.Pmid = new QWidget(this);
    c.Pmid2 = new QWidget(this);
    c.Pbottom = new QWidget(this);
    c.Pmid2->hide();

    const QFont songti12 = clientFont(QStringLiteral("宋体"), 12);
    const QFont heiti12 = clientFont(QStringLiteral("黑体"), 12);
    const QFont songti105 = clientFont(QStringLiteral("宋体"), 10.5);

    // Top panel. The band lies behind the statistics row, so it is created first.
    c.Image2 = new PictureBox(QStringLiteral(":/pictures/band.svg"), c.Ptop);
    c.Image3 = new PictureBox(QStringLiteral(":/pictures/logo.svg"), c.Ptop);
    c.Label5 = makeLabel(c.Ptop, QStringLiteral("文字录入测试"),
                         clientFont(QStringLiteral("黑体"), 21.75, true), Qt::black);

    auto makeButton = [&](const QString &caption, bool enabled) {
        auto *button = new QPushButton(caption, c.Ptop);
        button->setEnabled(enabled);
        button->setFocusPolicy(Qt::TabFocus);
        return button;
    };
    c.cmdlianjie = makeButton(QStringLiteral("连接..."), true);
    c.cmdread = makeButton(QStringLiteral("开 始"), false);
    c.cmdexit = makeButton(QStringLiteral("结 束"), false);
    c.btnzigen = makeButton(QStringLiteral("字根表"), false);
    c.cmdserverset = makeButton(QStringLiteral("服务器设置"), true);
    c.cmduserset = makeButton(QStringLiteral("设置个人信息"), true);

    auto *speedCaption = new GapLabel(QStringLiteral("速度：       字/分"), c.Ptop);
    speedCaption->setFont(songti12);
    {
        QPalette p = speedCaption->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        speedCaption->setPalette(p);
    }
    c.Label3 = speedCaption;
    c.Lmsg2 = new QLabel(c.Ptop);
    c.Lmsg2->setFont(songti12);
    c.Lmsg2->setAlignment(Qt::AlignCenter);
    c.Lmsg2->setAutoFillBackground(true);
    {
        QPalette p = c.Lmsg2->palette();
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::WindowText, Qt::black);
        c.Lmsg2->setPalette(p);
    }
    c.Label4 = makeLabel(c.Ptop, QStringLiteral("进度："), songti12, Qt::white);
    c.pb = new QProgressBar(c.Ptop);
    c.pb->setTextVisible(false);
    c.pb->setRange(0, 100);
    c.pb->setValue(0);
    c.Lmsg = makeLabel(c.Ptop, QString(), songti12, Qt::white);
    c.Ltimel1 = makeLabel(c.Ptop, QStringLiteral("计时方式："), heiti12, Qt::white);
    c.Ltime = makeBoxLabel(c.Ptop, heiti12);
    c.Ltimel2 = makeLabel(c.Ptop, QStringLiteral("已用时："), heiti12, Qt::white);
    c.Ltime2 = makeBoxLabel(c.Ptop, heiti12);
    c.Ltimel3 = makeLabel(c.Ptop, QStringLiteral("剩余："), heiti12, Qt::white);
    c.Ltime3 = makeBoxLabel(c.Ptop, heiti12);

    c.cts = new QCheckBox(QStringLiteral("显示编码提示"), c.Ptop);
    c.cts->setFont(songti105);
    c.cts->setEnabled(false);
    c.cts->setFocusPolicy(Qt::NoFocus);
    {
        // Disabled, the style's pale grey all but vanishes on the lavender window: a darker
        // grey-blue still reads as unavailable.
        QPalette p = c.cts->palette();
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(QPalette::Disabled, role, QColor(88, 88, 128));
        p.setColor(QPalette::Disabled, QPalette::Base, QColor(226, 226, 246));
        c.cts->setPalette(p);
    }
    c.LBM = makeLabel(c.Ptop, QString(), clientFont(QStringLiteral("宋体"), 15));
    for (int k = 0; k < 4; ++k) {
        c.Imgzg[k] = new QLabel(c.Ptop);
        c.Imgzg[k]->setScaledContents(true);
        // Start-up places; the root display moves them after the hint text.
        c.Imgzg[k]->setGeometry(px(5880 + 360 * k), px(1560), px(300), px(300));
    }

    // Middle panels.
    c.txt1 = new RichTextBox(client().ui.txt1, c.Pmid);
    c.txt1->setMouseSelects(false);
    c.txt2 = new RichTextBox(client().ui.txt2, c.Pmid);
    c.Image1 = new RootChart(c.Pmid2);

    // Bottom panel.
    c.Imgfoot = new PictureBox(QStringLiteral(":/pictures/band.svg"), c.Pbottom);
    c.Label2 = makeLabel(c.Pbottom, QStringLiteral("输入法："), songti105, Qt::black);
    c.cmbshurufa = new QComboBox(c.Pbottom);
    c.cmbshurufa->setFont(clientFont(QStringLiteral("黑体"), 10.5));
    c.cmbshurufa->setFocusPolicy(Qt::NoFocus);
    c.Label1 =
        makeLabel(c.Pbottom, QStringLiteral("注意：必须在此处切换输入法"), songti105, Qt::black);

    c.sb = new StatusBar(this);

    setTabOrder(c.txt2, c.txt1);

    m_statistics.speedCaption = speedCaption;
    m_statistics.speed = c.Lmsg2;
    m_statistics.progressCaption = c.Label4;
    m_statistics.bar = c.pb;
    m_statistics.progress = c.Lmsg;
    m_statistics.timingCaption = c.Ltimel1;
    m_statistics.timing = c.Ltime;
    m_statistics.elapsedCaption = c.Ltimel2;
    m_statistics.elapsed = c.Ltime2;
    m_statistics.remainingCaption = c.Ltimel3;
    m_statistics.remaining = c.Ltime3;
    m_statistics.band = c.Image2;
    m_statistics.progressCaptionLeft = 2640;
    m_statistics.barLeft = 3240;
    m_statistics.barWidth = 1695;
    m_statistics.progressLeft = 5040;
}

// The designed minimum width (15000 twips outside) where the screen allows it, else the free
// width of the screen; the window itself never larger than the screen's free area, nor partly
// off it. Runs again when the window manager's frame becomes known.
void Form1::fitToScreen()
{
    const QMargins frame = frameMargins(this);
    const int minimum = std::max(0, px(kMinOuterWidth) - frame.left() - frame.right());
    if (isWindow())
        m_fittedFrame = ::fitToScreen(this, QSize(minimum, 0));
    else
        setMinimumWidth(minimum);
}

void Form1::layoutWindow()
{
    MainWidgets &c = m_widgets;
    const int innerWidth = width();
    const int innerHeight = height();
    const int sbHeight = c.sb->sizeHint().height();
    c.sb->setGeometry(0, innerHeight - sbHeight, innerWidth, sbHeight);

    c.Ptop->setGeometry(0, 0, innerWidth, px(kTopHeight));
    const int bottomHeight = px(kBottomHeight);
    c.Pbottom->setGeometry(0, innerHeight - bottomHeight - sbHeight, innerWidth, bottomHeight);

    const int midTop = c.Ptop->y() + c.Ptop->height();
    const int midHeight = c.Pbottom->y() - c.Ptop->height() - c.Ptop->y();
    const int midWidth = innerWidth - px(400);
    if (midHeight >= 0 && midWidth >= 0) {
        c.Pmid->setGeometry(px(200), midTop, midWidth, midHeight);
        c.Pmid2->setGeometry(px(200), midTop, midWidth, midHeight);
    }
    layoutTop();
    layoutMid();
    layoutBottom();
}

void Form1::layoutTop()
{
    MainWidgets &c = m_widgets;
    const int panelWidth = c.Ptop->width();

    placeInTwips(c.Image3, 240, 80, 720, 525);
    // The title stands above the blue band (which starts at 600 twips).
    placeAbove(c.Label5, px(1200), px(120), px(600));

    // The button row ends 100 twips before the right edge, buttons 100 apart. Positions are
    // worked out in twips and converted one by one, so rounding never adds up along the row.
    const std::array<QPushButton *, 6> buttons{c.cmdlianjie, c.cmdread,      c.cmdexit,
                                               c.btnzigen,   c.cmdserverset, c.cmduserset};
    const std::array<int, 6> widths{1005, 1005, 1005, 1005, 1335, 1335};
    int sum = 0;
    for (int w : widths)
        sum += w;
    int left = twips(panelWidth) - sum - 600;
    for (size_t i = 0; i < buttons.size(); ++i) {
        buttons[i]->setGeometry(px(left), px(120), px(left + widths[i]) - px(left), px(400));
        left += widths[i] + 100;
    }

    m_statistics.layout(width());

    c.cts->setGeometry(px(200), px(1560), px(2535), px(255));
    c.LBM->adjustSize();
    c.LBM->move(c.cts->x() + c.cts->width() + px(200), px(1560));
    // The root glyphs stand level with the hint text: their middle on the middle of its ink,
    // which a CJK face sets low in its line.
    const QFontMetrics hintMetrics(c.LBM->font());
    const QRect ink = hintMetrics.tightBoundingRect(QStringLiteral("五笔编码"));
    const int inkMiddle = c.LBM->y() + hintMetrics.ascent() + ink.center().y();
    for (QLabel *slot : c.Imgzg)
        slot->move(slot->x(), inkMiddle - slot->height() / 2);
}

void Form1::layoutMid()
{
    MainWidgets &c = m_widgets;
    const int w = c.Pmid->width();
    const int h = c.Pmid->height();
    const int boxWidth = w - px(300);
    const int boxHeight = h / 2 - px(250);
    if (boxWidth >= 0 && boxHeight >= 0) {
        c.txt1->setGeometry(px(100), px(100), boxWidth, boxHeight);
        c.txt2->setGeometry(px(100), c.txt1->y() + c.txt1->height() + px(200), boxWidth, boxHeight);
    }
    c.Image1->setGeometry(0, 0, c.Pmid2->width(), c.Pmid2->height());
}

void Form1::layoutBottom()
{
    MainWidgets &c = m_widgets;
    c.Imgfoot->setGeometry(0, 0, frameGeometry().width(), c.Pbottom->height());
    c.Label2->adjustSize();
    c.Label2->move(px(240), px(120));
    placeInTwips(c.cmbshurufa, 1200, 60, 3495, 330);
    placeInTwips(c.Label1, 4800, 120, 2730, 210);
    c.Label1->adjustSize();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A window manager honours the minimum width; without one (or with one that ignores size
    // hints) a narrower window snaps back here.
    if (isWindow() && width() < minimumWidth()) {
        resize(minimumWidth(), height());
        return;
    }
    layoutWindow();
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitToScreen();
    m_widgets.txt2->setFocus();
}

void Form1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window manager has framed the window: fit it with its real frame.
    if (isWindow() && frameMargins(this) != m_fittedFrame)
        fitToScreen();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (client().Form_QueryUnload())
        event->ignore();
    else
        event->accept();
}
