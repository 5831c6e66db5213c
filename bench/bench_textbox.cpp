// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/BenchRegistry.h"
#include "core/TextModel.h"
#include "core/widgets/Fonts.h"
#include "typing/widgets/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

// The text box on the longest text a test can have: colouring one character (what the
// comparison does per keystroke) and typing one character, each until the box has painted,
// at the start, the middle and the end of the text. A plain QTextEdit does the same in the
// same run as the baseline.
namespace {

constexpr int kTextLength = 32767;
constexpr int kRuns = 200;

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Sample
{
    std::vector<double> wall;
    std::vector<double> cpu;
};

double percentile(std::vector<double> v, double share)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(share * (v.size() - 1) + 0.5))];
}

// Times `work`; `reset`, when given, runs after each timed run and is not timed.
Sample measure(int runs, const std::function<void(int)> &work,
               const std::function<void()> &reset = {})
{
    Sample s;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const double cpu0 = threadCpuMs();
        timer.start();
        work(i);
        s.wall.push_back(timer.nsecsElapsed() / 1e6);
        s.cpu.push_back(threadCpuMs() - cpu0);
        if (reset)
            reset();
    }
    return s;
}

QString chineseText(int length)
{
    // Common characters with a full stop now and then, as a test text has.
    const QString pool =
        QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于"
                       "出就分对成会可主发年动同工也能下过子说产种面而方后多定行学");
    QRandomGenerator rng(7);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += (i % 37 == 36) ? QChar(0x3002) : pool.at(rng.bounded(int(pool.size())));
    return text;
}

void commit(QWidget *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

void print(const QString &name, const Sample &ours, const Sample &baseline)
{
    const double ourP99 = percentile(ours.wall, 0.99);
    QTextStream(stdout) << QStringLiteral(
                               "  %1 box: median %2 ms p99 %3 ms (cpu median %4 p99 %5) | "
                               "QTextEdit: median %6 ms p99 %7 ms | ratio of medians %8x")
                               .arg(name, -26)
                               .arg(percentile(ours.wall, 0.5), 0, 'f', 3)
                               .arg(ourP99, 0, 'f', 3)
                               .arg(percentile(ours.cpu, 0.5), 0, 'f', 3)
                               .arg(percentile(ours.cpu, 0.99), 0, 'f', 3)
                               .arg(percentile(baseline.wall, 0.5), 0, 'f', 3)
                               .arg(percentile(baseline.wall, 0.99), 0, 'f', 3)
                               .arg(percentile(baseline.wall, 0.5) /
                                        std::max(1e-6, percentile(ours.wall, 0.5)),
                                    0, 'f', 1)
                        << Qt::endl;
}

void run()
{
    const QString text = chineseText(kTextLength);
    const QFont font = clientFont(QStringLiteral("黑体"), 25);
    const QColor grey(150, 150, 150);
    const QColor red(255, 0, 0);

    RichTextBox box;
    box.setFont(font);
    box.resize(1000, 220);
    box.show();
    QTextEdit edit;
    edit.setFont(font);
    edit.resize(1000, 220);
    edit.show();
    QApplication::processEvents();

    // Loading the whole text until painted.
    const Sample loadOurs = measure(10, [&](int i) {
        box.model()->setText(i % 2 ? text : text.left(kTextLength - 1));
        box.model()->setSelStart(0);
        box.repaint();
    });
    const Sample loadEdit = measure(10, [&](int i) {
        edit.setPlainText(i % 2 ? text : text.left(kTextLength - 1));
        edit.viewport()->repaint();
    });
    QTextStream(stdout) << QStringLiteral("text of %1 characters, %2 runs per operation")
                               .arg(kTextLength)
                               .arg(kRuns)
                        << Qt::endl;
    print(QStringLiteral("load"), loadOurs, loadEdit);

    box.model()->setText(text);
    edit.setPlainText(text);
    for (const int position : {100, 16000, 32000}) {
        // Colour one character in view, as the comparison does after each keystroke.
        box.model()->setSelStart(position);
        box.ensureVisible(position);
        QApplication::processEvents();
        const Sample colourOurs = measure(kRuns, [&](int i) {
            box.model()->setFormat(position, 1, i % 2 ? grey : red, false);
            box.repaint();
        });
        QTextCursor cursor(edit.document());
        cursor.setPosition(position);
        edit.setTextCursor(cursor);
        edit.ensureCursorVisible();
        QApplication::processEvents();
        const Sample colourEdit = measure(kRuns, [&](int i) {
            QTextCursor c(edit.document());
            c.setPosition(position);
            c.setPosition(position + 1, QTextCursor::KeepAnchor);
            QTextCharFormat format;
            format.setForeground(i % 2 ? grey : red);
            c.mergeCharFormat(format);
            edit.viewport()->repaint();
        });
        print(QStringLiteral("colour 1 char at %1").arg(position), colourOurs, colourEdit);
    }

    // Typing one character at the end of a typed text of the given length.
    for (const int position : {100, 16000, 32000}) {
        const QString typed = text.left(position);
        box.model()->setText(typed);
        box.model()->setSelStart(position);
        box.setFocus();
        QApplication::processEvents();
        const Sample typeOurs = measure(
            kRuns,
            [&](int) {
                commit(&box, QStringLiteral("中"));
                box.repaint();
            },
            [&] {
                box.model()->setText(typed); // back to the same length for the next run
                box.model()->setSelStart(position);
            });
        edit.setPlainText(typed);
        edit.moveCursor(QTextCursor::End);
        QApplication::processEvents();
        const Sample typeEdit = measure(
            kRuns,
            [&](int) {
                commit(&edit, QStringLiteral("中"));
                edit.viewport()->repaint();
            },
            [&] { edit.textCursor().deletePreviousChar(); });
        print(QStringLiteral("type 1 char at %1").arg(position), typeOurs, typeEdit);
    }
}

} // namespace

CLIENT_BENCH(textbox, run)
