// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/widgets/Form6.h"

#include "core/widgets/Fonts.h"
#include "core/widgets/GapLabel.h"
#include "core/widgets/Geometry.h"
#include "core/widgets/PictureBox.h"
#include "hints/widgets/RootChart.h"
#include "hints/widgets/RootGlyphs.h"
#include "practice/widgets/RootInputBox.h"
#include "practice/widgets/RootLabel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QSvgRenderer>
#include <QTimer>

namespace {

// Design geometry in twips.
constexpr int kClientWidth = 13665;
constexpr int kClientHeight = 9735;
constexpr int kTopHeight = 1935;
constexpr int kMidHeight = 3015;
constexpr int kMargin = 200;
constexpr int kInputHeight = 855;
const QColor kBackground(192, 192, 255);

void setColours(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    widget->setPalette(palette);
}

QLabel *makeLabel(QWidget *parent, const QString &text, const QFont &font, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    setColours(label, kBackground, colour);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLabel *makeValueLabel(QWidget *parent, const QFont &font)
{
    auto *label = new QLabel(parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    setColours(label, Qt::white, Qt::black);
    return label;
}

QWidget *makePanel(QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setAutoFillBackground(true);
    setColours(panel, kBackground, Qt::black);
    return panel;
}

// A picture drawn from its vector source at its natural size.
QPixmap naturalPicture(const QString &resource)
{
    QSvgRenderer renderer(resource);
    QPixmap pixmap(renderer.defaultSize());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

Form6::Form6(PracticeSession &session, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_session(&session)
{
    setWindowTitle(QStringLiteral("字根练习"));
    setAutoFillBackground(true);
    setColours(this, kBackground, Qt::black);
    // Closing the practice brings the main window back; it must not end the program first.
    setAttribute(Qt::WA_QuitOnClose, false);

    createControls();
    resize(px(kClientWidth), px(kClientHeight));
    fitToScreen();
    Form_Resize();

    connect(&session, &PracticeSession::stripChanged, this, &Form6::showStrip);
    connect(&session, &PracticeSession::progressChanged, this, &Form6::showProgress);
    connect(&session, &PracticeSession::displayChanged, this, &Form6::showDisplay);
    connect(&session, &PracticeSession::wrongKey, this, &Form6::showWrongKey);
    connect(RTinput, &RootInputBox::keyReleased, this, [this](int key) {
        if (m_session)
            m_session->RTinput_KeyUp(key);
        RTinput->caretToEnd();
        RTinput->setFocus();
    });

    createStripLabels(session.strip().labelCount());
    showStrip(session.strip());
    showDisplay(session.display());
}

int Form6::px(int twips) const
{
    return twipsToPixels(this, twips);
}

void Form6::createControls()
{
    Ptop = makePanel(this);
    Pmid = makePanel(this);
    Pmid2 = makePanel(this);
    for (QWidget *panel : {Ptop, Pmid, Pmid2})
        panel->installEventFilter(this);

    const QFont songti12 = clientFont(QStringLiteral("宋体"), 12);
    const QFont heiti12 = clientFont(QStringLiteral("黑体"), 12);

    // Top panel; the banner lies behind the statistics row, so it comes first.
    Image2 = new PictureBox(QStringLiteral(":/pictures/band.svg"), Ptop);
    Image5 = new PictureBox(QStringLiteral(":/pictures/practice-keys.svg"), Ptop);
    Label1 = makeLabel(Ptop, QStringLiteral("字根练习"),
                       clientFont(QStringLiteral("黑体"), 21.75, true), Qt::black);
    Label3 = new GapLabel(QStringLiteral("速度：       字/分"), Ptop);
    Label3->setFont(songti12);
    setColours(Label3, kBackground, Qt::white);
    Lmsg2 = makeValueLabel(Ptop, songti12);
    Label4 = makeLabel(Ptop, QStringLiteral("进度："), songti12, Qt::white);
    pb = new QProgressBar(Ptop);
    pb->setTextVisible(false);
    pb->setRange(0, 100);
    pb->setValue(0);
    Lmsg = makeLabel(Ptop, QString(), songti12, Qt::white);
    Ltimel1 = makeLabel(Ptop, QStringLiteral("计时方式："), heiti12, Qt::white);
    Ltime = makeValueLabel(Ptop, heiti12);
    Ltimel2 = makeLabel(Ptop, QStringLiteral("已用时："), heiti12, Qt::white);
    Ltime2 = makeValueLabel(Ptop, heiti12);
    Ltimel3 = makeLabel(Ptop, QStringLiteral("剩余："), heiti12, Qt::white);
    Ltime3 = makeValueLabel(Ptop, heiti12);
    cts = new QCheckBox(QStringLiteral("显示编码提示"), Ptop);
    cts->setFont(clientFont(QStringLiteral("宋体"), 10.5));
    cts->setFocusPolicy(Qt::NoFocus);
    cts->setAutoFillBackground(true);
    setColours(cts, kBackground, Qt::black);
    {
        QPalette palette = cts->palette();
        palette.setColor(QPalette::Button, kBackground);
        cts->setPalette(palette);
    }

    // Middle panel: label 0 of the strip and the typing box; the other labels come with the
    // root table.
    const QFont root = clientFont(QStringLiteral("宋体"), 42);
    Lzg[0] = new RootLabel(QStringLiteral("  "), Pmid);
    Lzg[0]->setFont(root);
    Lzg[0]->setAlignment(Qt::AlignCenter);
    Lzg[0]->setAutoFillBackground(true);
    setColours(Lzg[0], Qt::white, Qt::black);
    Lzg[0]->setGeometry(px(RootStrip::kLabelLeft), px(RootStrip::kLabelTop),
                        px(RootStrip::kLabelSize), px(RootStrip::kLabelSize));
    // The right key of a root answered wrong, shown for a moment under the root.
    Lright = new QLabel(Pmid);
    Lright->setFont(clientFont(QStringLiteral("黑体"), 11, true));
    setColours(Lright, QColor(255, 0, 0), Qt::white);
    Lright->setAutoFillBackground(true);
    Lright->setContentsMargins(px(60), 0, px(60), 0);
    Lright->hide();
    m_flashEnd = new QTimer(this);
    m_flashEnd->setSingleShot(true);
    m_flashEnd->setInterval(400);
    connect(m_flashEnd, &QTimer::timeout, this, [this] {
        m_flashLabel = -1;
        if (m_session)
            showStrip(m_session->strip());
    });
    m_rightEnd = new QTimer(this);
    m_rightEnd->setSingleShot(true);
    m_rightEnd->setInterval(1200);
    connect(m_rightEnd, &QTimer::timeout, Lright, &QLabel::hide);
    RTinput = new RootInputBox(Pmid);
    RTinput->setFont(root);
    RTinput->setGeometry(px(RootStrip::kLabelLeft),
                         px(RootStrip::kLabelTop + RootStrip::kLabelSize + RootStrip::kInputGap),
                         px(RootStrip::kLabelSize), px(kInputHeight));

    // Closer together than on the main window: the timing labels hang from the right edge of
    // a narrower window.
    m_statistics.speedCaption = Label3;
    m_statistics.speed = Lmsg2;
    m_statistics.progressCaption = Label4;
    m_statistics.bar = pb;
    m_statistics.progress = Lmsg;
    m_statistics.timingCaption = Ltimel1;
    m_statistics.timing = Ltime;
    m_statistics.elapsedCaption = Ltimel2;
    m_statistics.elapsed = Ltime2;
    m_statistics.remainingCaption = Ltimel3;
    m_statistics.remaining = Ltime3;
    m_statistics.band = Image2;
    m_statistics.progressCaptionLeft = 2400;
    m_statistics.barLeft = 3000;
    m_statistics.barWidth = 900;
    m_statistics.progressLeft = 3980;

    // Lower panel, bottom to top: the background picture, the maker's name and seal, and
    // the root chart over all of them.
    Image3 = new QLabel(Pmid2);
    Image3->setPixmap(naturalPicture(QStringLiteral(":/pictures/practice-background.svg")));
    Image3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = makeLabel(Pmid2, QStringLiteral("澄岭软件"),
                       clientFont(QStringLiteral("黑体"), 15, true), QColor(60, 60, 140));
    Image4 = new PictureBox(QStringLiteral(":/pictures/practice-seal.svg"), Pmid2);
    Image1 = new RootChart(Pmid2);
}

void Form6::createStripLabels(int count)
{
    // Copies of label 0, side by side.
    for (int i = 1; i < count && i < RootStrip::kLabels; ++i) {
        QLabel *label = new RootLabel(QStringLiteral("  "), Pmid);
        label->setFont(Lzg[0]->font());
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setPalette(Lzg[0]->palette());
        label->setGeometry(px(RootStrip::labelLeft(i)), px(RootStrip::kLabelTop),
                           px(RootStrip::kLabelSize), px(RootStrip::kLabelSize));
        Lzg[i] = label;
    }
}

void Form6::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form6::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitToScreen();
    RTinput->setFocus();
}

void Form6::closeEvent(QCloseEvent *event)
{
    if (m_session && m_session->Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    emit unloaded();
}

void Form6::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window manager has framed the window: fit it with its real frame.
    if (frameMargins(this) != m_fittedFrame)
        fitToScreen();
}

// The window holds its top panel without overlap and the whole root strip, where the screen
// allows; it never opens larger than the screen's free area, nor partly off it.
void Form6::fitToScreen()
{
    m_fittedFrame = ::fitToScreen(
        this, QSize(m_statistics.minimumWidth(), px(kTopHeight + 2 * kMargin + kMidHeight)));
}

bool Form6::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == Ptop)
            Ptop_Resize();
        else if (watched == Pmid && m_session)
            m_session->Pmid_Resize(m_pmidWidth);
        else if (watched == Pmid2)
            Pmid2_Resize();
    }
    return QWidget::eventFilter(watched, event);
}

void Form6::Form_Resize()
{
    // Worked out in twips, so the strip's page size follows the design's arithmetic exactly.
    const int w = pixelsToTwips(this, width());
    const int h = pixelsToTwips(this, height());
    Ptop->setGeometry(0, 0, width(), px(kTopHeight));
    const int midTop = kTopHeight + kMargin;
    if (w - 2 * kMargin >= 0) {
        m_pmidWidth = w - 2 * kMargin;
        Pmid->setGeometry(px(kMargin), px(midTop), px(m_pmidWidth), px(kMidHeight));
    }
    const int lowTop = midTop + kMidHeight + kMargin;
    const int lowHeight = h - (midTop + kMidHeight) - 2 * kMargin;
    // A window too short for the lower panel leaves it as it was.
    if (w - 2 * kMargin >= 0 && lowHeight >= 0)
        Pmid2->setGeometry(px(kMargin), px(lowTop), px(w - 2 * kMargin), px(lowHeight));
}

void Form6::Ptop_Resize()
{
    cts->setGeometry(px(200), px(1560), px(2535), px(255));
    placeInTwips(Image5, 240, 60, 720, 525);
    // The title stands above the blue band (which starts at 600 twips).
    placeAbove(Label1, px(1200), px(120), px(600));
    m_statistics.layout(width());
}

void Form6::Pmid2_Resize()
{
    Image1->setGeometry(0, 0, Pmid2->width(), Pmid2->height());
    Image3->setGeometry(0, 0, Pmid2->width(), Pmid2->height());
    Label2->adjustSize();
    Image4->setGeometry(Pmid2->width() - px(1000), Pmid2->height() - px(1000), px(600), px(600));
    Label2->move(Image4->x() - Label2->width() - px(150),
                 Image4->y() + (Image4->height() - Label2->height()) / 2);
}

void Form6::showStrip(const RootStrip &strip)
{
    for (int i = 0; i < RootStrip::kLabels; ++i) {
        QLabel *label = Lzg[i];
        if (!label)
            continue;
        const QString caption = strip.caption(i);
        label->setText(caption);
        static_cast<RootLabel *>(label)->setPicture(pictureFor(caption));
        label->setVisible(strip.isShown(i));
        const bool flashing = i == m_flashLabel;
        const QColor background = flashing                 ? QColor(255, 0, 0)
                                  : strip.isHighlighted(i) ? QColor(Qt::black)
                                                           : QColor(Qt::white);
        if (label->palette().color(QPalette::Window) != background)
            setColours(label, background,
                       flashing || strip.isHighlighted(i) ? Qt::white : Qt::black);
    }
    RTinput->resize(px(RootStrip::kLabelSize * strip.pageSize()), RTinput->height());
    RTinput->showRoots(strip.typed());
}

void Form6::showWrongKey(int label, QChar right)
{
    if (label < 0 || label >= RootStrip::kLabels || !Lzg[label])
        return;
    m_flashLabel = label;
    m_flashEnd->start();
    // The right key, under the root, between the strip and the typing box.
    Lright->setText(QString(right));
    Lright->adjustSize();
    const QLabel *root = Lzg[label];
    // In the gap between the strip and the typing box.
    const int gap = RTinput->y() - (root->y() + root->height());
    Lright->move(root->x() + (root->width() - Lright->width()) / 2,
                 root->y() + root->height() + std::max(0, (gap - Lright->height()) / 2));
    Lright->show();
    Lright->raise();
    m_rightEnd->start();
    if (m_session)
        showStrip(m_session->strip());
}

// The glyph picture a root of the strip shows instead of its character, where the table's
// character is one a learner would type with another key; else a null pixmap.
QPixmap Form6::pictureFor(const QString &root) const
{
    if (root.size() != 1 || !m_session)
        return {};
    const std::optional<QString> key = m_session->table().keyOf(root.at(0));
    if (!key || key->isEmpty())
        return {};
    return rootglyphs::practiceGlyph(rootglyphs::practicePicture(key->at(0), root.at(0)));
}

void Form6::showProgress(int maximum, int value)
{
    pb->setMaximum(maximum);
    pb->setMinimum(0);
    // A value past the maximum is refused: the bar keeps what it showed.
    pb->setValue(value);
}

void Form6::showDisplay(const PracticeDisplay &display)
{
    Lmsg2->setText(display.speed);
    Lmsg->setText(display.progress);
    Lmsg->adjustSize();
    m_statistics.followProgress();
    Ltime->setText(display.timing);
    Ltime2->setText(display.elapsed);
    Ltime3->setText(display.remaining);
    Image1->setVisible(display.chartShown);
}
