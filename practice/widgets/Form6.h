// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/widgets/StatisticsRow.h"
#include "practice/PracticeSession.h"

#include <QMargins>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>

class GapLabel;
class QCheckBox;
class QLabel;
class QProgressBar;
class RootInputBox;
class QTimer;

// The root practice window "字根练习": the statistics row on top, the root strip and the
// typing box in the middle, the root chart (or a background picture) below. It lays out its
// panels, shows what its practice logic publishes and forwards its events to it. Geometry
// follows the design in twips.
class Form6 : public QWidget
{
    Q_OBJECT
public:
    // A window for the loaded practice `session`, at its first size, not shown yet.
    explicit Form6(PracticeSession &session, QWidget *parent = nullptr);

    PracticeSession *session() const { return m_session; }

    // The strip panel's width in twips, as the last re-layout used it.
    int stripWidthTwips() const { return m_pmidWidth; }

    QWidget *Ptop;
    QWidget *Pmid;
    QWidget *Pmid2;
    QLabel *Label1;
    GapLabel *Label3;
    QLabel *Lmsg2;
    QLabel *Label4;
    QLabel *Lmsg;
    QProgressBar *pb;
    QLabel *Ltimel1;
    QLabel *Ltime;
    QLabel *Ltimel2;
    QLabel *Ltime2;
    QLabel *Ltimel3;
    QLabel *Ltime3;
    QCheckBox *cts;
    QWidget *Image2;
    QWidget *Image5;
    std::array<QLabel *, RootStrip::kLabels> Lzg{};
    RootInputBox *RTinput;
    QWidget *Image1;
    QLabel *Image3;
    QLabel *Label2;
    QWidget *Image4;
    QLabel *Lright; // the right key of a root answered wrong, shown for a moment

signals:
    // The window has agreed to close (after the question, if a practice was running).
    void unloaded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createStripLabels(int count);
    int px(int twips) const;
    void fitToScreen();

    int m_flashLabel = -1; // the label that flashes red, -1 for none
    QTimer *m_flashEnd = nullptr;
    QTimer *m_rightEnd = nullptr;

    void Form_Resize();
    void Ptop_Resize();
    void Pmid2_Resize();
    void showStrip(const RootStrip &strip);
    // A wrong key: the root's label flashes red and its right key shows below it for a moment.
    void showWrongKey(int label, QChar right);
    QPixmap pictureFor(const QString &root) const;
    void showProgress(int maximum, int value);
    void showDisplay(const PracticeDisplay &display);

    QPointer<PracticeSession> m_session;
    int m_pmidWidth = 0; // twips
    StatisticsRow m_statistics;
    QMargins m_fittedFrame; // the frame the last fit to the screen used
};
