// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Nothing in the top panels runs into anything else, at any width a window allows, with the
// longest figures the statistics row can show (32767/32767(正确100%), 999分59秒) and a long
// hint: the geometry of every label is checked, and nothing is cut off at the right edge.
#include "core/Client.h"
#include "core/widgets/GapLabel.h"
#include "core/widgets/StatisticsRow.h"
#include "net/TestControl.h"
#include "practice/widgets/Form6.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "ui/Form1.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

struct Part
{
    QString name;
    QRect rect; // in the panel's coordinates
};

QRect inPanel(const QWidget *widget, const QWidget *panel)
{
    return {widget->mapTo(panel, QPoint(0, 0)), widget->size()};
}

// A text label as far as its ink reaches across (the blank half of a full-width colon does not
// count), over the label's height; a gap label is its two texts around the gap. A label with
// a background of its own (a value field) is its whole box.
QList<Part> partsOf(const QString &name, QLabel *label, const QWidget *panel)
{
    const QRect rect = inPanel(label, panel);
    if (label->autoFillBackground())
        return {{name, rect}};
    const QFontMetrics metrics(label->font());
    const auto across = [&](const QString &text, int left) {
        const QRect ink = metrics.tightBoundingRect(text);
        return QRect(left + ink.left(), rect.top(), ink.width(), rect.height());
    };
    if (qobject_cast<GapLabel *>(label)) {
        const QStringList texts = label->text().split(QRegularExpression(QStringLiteral(" {2,}")));
        const int tailLeft = rect.right() + 1 - metrics.horizontalAdvance(texts.value(1));
        return {{name + QStringLiteral(" (before the gap)"), across(texts.value(0), rect.left())},
                {name + QStringLiteral(" (after the gap)"), across(texts.value(1), tailLeft)}};
    }
    const int textLeft =
        label->alignment() & Qt::AlignHCenter
            ? rect.left() + (rect.width() - metrics.horizontalAdvance(label->text())) / 2
            : rect.left() + label->contentsMargins().left();
    return {{name, across(label->text(), textLeft)}};
}

QRect inkOf(QLabel *label, const QWidget *panel)
{
    const QFontMetrics metrics(label->font());
    const QRect ink = metrics.tightBoundingRect(label->text());
    const int baseline = (label->height() - metrics.height()) / 2 + metrics.ascent();
    return ink.translated(inPanel(label, panel).topLeft() + QPoint(0, baseline));
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Every pair of parts apart, every part inside the panel's width.
void checkParts(const QList<Part> &parts, int panelWidth)
{
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QVERIFY2(parts[i].rect.left() >= 0 && parts[i].rect.right() < panelWidth,
                 qPrintable(parts[i].name + QStringLiteral(" cut off: ") + describe(parts[i].rect) +
                            QStringLiteral(" in a panel of ") + QString::number(panelWidth)));
        for (qsizetype j = i + 1; j < parts.size(); ++j) {
            QVERIFY2(!parts[i].rect.intersects(parts[j].rect),
                     qPrintable(parts[i].name + u' ' + describe(parts[i].rect) +
                                QStringLiteral(" runs into ") + parts[j].name + u' ' +
                                describe(parts[j].rect)));
        }
    }
}

void addWidths(const QList<int> &widths)
{
    QTest::addColumn<int>("width");
    for (int width : widths) {
        QTest::newRow(width == 0 ? "minimum" : qPrintable(QString::number(width))) << width;
    }
}

} // namespace

class LayoutOverlapTest : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowTopPanel_data() { addWidths({0, 1020, 1120, 1600}); }
    void mainWindowTopPanel()
    {
        QFETCH(int, width);
        TestEnv env;
        Form1 &form = env.createForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        MainControls &models = env.client().ui;
        models.Lmsg2->setText(QStringLiteral("999.9"));
        models.Lmsg->setText(StatisticsRow::kLongestProgress);
        models.Ltime->setText(StatisticsRow::kLongestTiming);
        models.Ltime2->setText(StatisticsRow::kLongestTime);
        models.Ltime3->setText(StatisticsRow::kLongestTime);
        models.LBM->setText(QStringLiteral("五笔编码：wqvb  拼音：nǐ"));
        form.resize(width == 0 ? form.minimumWidth() : std::max(width, form.minimumWidth()),
                    form.height());
        QCoreApplication::processEvents();

        const MainWidgets &w = form.widgets();
        QWidget *panel = w.Ptop;
        QList<Part> parts;
        parts << Part{QStringLiteral("logo"), inPanel(w.Image3, panel)}
              << Part{QStringLiteral("title"), inkOf(w.Label5, panel)};
        for (QPushButton *button :
             {w.cmdlianjie, w.cmdread, w.cmdexit, w.btnzigen, w.cmdserverset, w.cmduserset})
            parts << Part{button->text(), inPanel(button, panel)};
        parts << partsOf(QStringLiteral("speed caption"), w.Label3, panel)
              << Part{QStringLiteral("speed"), inPanel(w.Lmsg2, panel)}
              << partsOf(QStringLiteral("progress caption"), w.Label4, panel)
              << Part{QStringLiteral("progress bar"), inPanel(w.pb, panel)}
              << partsOf(QStringLiteral("progress"), w.Lmsg, panel)
              << partsOf(QStringLiteral("timing caption"), w.Ltimel1, panel)
              << partsOf(QStringLiteral("timing"), w.Ltime, panel)
              << partsOf(QStringLiteral("elapsed caption"), w.Ltimel2, panel)
              << partsOf(QStringLiteral("elapsed"), w.Ltime2, panel)
              << partsOf(QStringLiteral("remaining caption"), w.Ltimel3, panel)
              << partsOf(QStringLiteral("remaining"), w.Ltime3, panel)
              << Part{QStringLiteral("hint check box"), inPanel(w.cts, panel)}
              << partsOf(QStringLiteral("hint"), w.LBM, panel);
        checkParts(parts, panel->width());
        // The title stands clear of the band, the statistics row inside it.
        const QRect band = inPanel(w.Image2, panel);
        QVERIFY2(inkOf(w.Label5, panel).bottom() < band.top(),
                 qPrintable(describe(inkOf(w.Label5, panel)) + QStringLiteral(" over the band ") +
                            describe(band)));
        for (QWidget *field : {static_cast<QWidget *>(w.Lmsg2), static_cast<QWidget *>(w.Ltime3),
                               static_cast<QWidget *>(w.pb)})
            QVERIFY(band.contains(inPanel(field, panel)));
        QVERIFY(inPanel(w.cts, panel).top() > band.bottom());
    }

    void practiceWindowTopPanel_data() { addWidths({0, 800, 911, 1280}); }
    void practiceWindowTopPanel()
    {
        QFETCH(int, width);
        TestEnv env;
        QVERIFY(QFile::copy(QStringLiteral(CLIENT_SOURCE_DIR "/assets/data/86zg.dat"),
                            env.dir.filePath(QStringLiteral("86zg.dat"))));
        env.createForm();
        env.fakeSocket.setState(Socket::Connected);
        env.client().control->handleMessage(QStringLiteral("0010<zg>2/30"));
        Form6 *form = env.form->practiceWindow();
        QVERIFY(form && form->isVisible());
        form->resize(width == 0 ? form->minimumWidth() : std::max(width, form->minimumWidth()),
                     form->height());
        QCoreApplication::processEvents();
        QCOMPARE(form->width(), width == 0 ? form->minimumWidth() : width);
        // The figures arrive as the practice's display refresh sends them.
        PracticeDisplay display;
        display.speed = QStringLiteral("999.9");
        display.progress = StatisticsRow::kLongestProgress;
        display.timing = StatisticsRow::kLongestTiming;
        display.elapsed = StatisticsRow::kLongestTime;
        display.remaining = StatisticsRow::kLongestTime;
        emit form->session()->displayChanged(display);

        QWidget *panel = form->Ptop;
        QList<Part> parts;
        parts << Part{QStringLiteral("keys picture"), inPanel(form->Image5, panel)}
              << Part{QStringLiteral("title"), inkOf(form->Label1, panel)}
              << partsOf(QStringLiteral("speed caption"), form->Label3, panel)
              << Part{QStringLiteral("speed"), inPanel(form->Lmsg2, panel)}
              << partsOf(QStringLiteral("progress caption"), form->Label4, panel)
              << Part{QStringLiteral("progress bar"), inPanel(form->pb, panel)}
              << partsOf(QStringLiteral("progress"), form->Lmsg, panel)
              << partsOf(QStringLiteral("timing caption"), form->Ltimel1, panel)
              << partsOf(QStringLiteral("timing"), form->Ltime, panel)
              << partsOf(QStringLiteral("elapsed caption"), form->Ltimel2, panel)
              << partsOf(QStringLiteral("elapsed"), form->Ltime2, panel)
              << partsOf(QStringLiteral("remaining caption"), form->Ltimel3, panel)
              << partsOf(QStringLiteral("remaining"), form->Ltime3, panel)
              << Part{QStringLiteral("check box"), inPanel(form->cts, panel)};
        checkParts(parts, panel->width());
        const QRect band = inPanel(form->Image2, panel);
        QVERIFY(inkOf(form->Label1, panel).bottom() < band.top());
        QVERIFY(band.contains(inPanel(form->Ltime3, panel)));
    }
};

CLIENT_TEST(LayoutOverlapTest)
#include "tst_layoutoverlap.moc"
