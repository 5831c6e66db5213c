#include "typing/TypingEngine.h"

#include "core/Client.h"
#include "env/InputMethodSelection.h"
#include "hints/HintDelay.h"
#include "typing/TestEnding.h"

#include <algorithm>

namespace {

// The counters are 16-bit values: a count beyond that range stays at its top.
int counted(qsizetype length)
{
    return int(std::min<qsizetype>(length, ClientState::kMaxCount));
}

// Formats characters [from, from + length) of a box through its selection.
void format(TextModel *box, int from, int length, const QColor &color, bool emphasis)
{
    box->setSelStart(from);
    box->setSelLength(length);
    box->setSelColor(color);
    box->setSelEmphasis(emphasis);
}

} // namespace

TypingEngine::TypingEngine(Client &client)
    : m_client(client)
{}

void TypingEngine::txt2_Change(const QString &typed)
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;

    m_client.hints->resetHint();

    const QString &reference = ui.txt1->text();
    const int l1 = int(reference.size());
    const int l2 = int(typed.size());

    // Typing past the end of the reference compares and colours nothing.
    if (l1 >= l2) {
        // The clock of a test starts with its first change; a running clock is left alone.
        if (s.IsWorking && !ui.Timer3->isActive())
            ui.Timer3->start();
        colourTyped(reference, typed, s.NumNextStart);
        s.NumNextStart = l2;
        ui.txt2->setSelStart(l2);
        ui.txt2->setSelLength(1);
        markCurrent(l2);
    }

    m_client.imes->reactivate();
    JiSuan();

    if (l2 >= l1)
        m_client.ending->completed();
}

// Compares the typed positions from `from` (zero-based) to the end of the typed text and
// colours them in both boxes, a run of equal outcomes at a time. Positions before `from`
// were coloured by earlier changes and are not looked at again.
void TypingEngine::colourTyped(const QString &reference, const QString &typed, int from)
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    const int end = int(typed.size());
    int i = std::max(from, 0);
    while (i < end) {
        const bool right = reference[i] == typed[i];
        int j = i + 1;
        while (j < end && (reference[j] == typed[j]) == right)
            ++j;
        const QColor &color = right ? s.ColorRight : s.ColorErr;
        format(ui.txt1, i, j - i, color, false);
        format(ui.txt2, i, j - i, color, false);
        if (!right) {
            for (int k = i; k < j; ++k) {
                const QChar wanted = reference[k];
                if (!s.errChar.contains(wanted)) {
                    s.errChar += wanted;
                    s.cuowu += wanted;
                }
            }
        }
        i = j;
    }
}

// The reference character at `position` (zero-based) is the next one to type. Its selection
// is also how the word hint finds the current position.
void TypingEngine::markCurrent(int position)
{
    format(m_client.ui.txt1, position, 1, m_client.state.ColorNow, true);
}

void TypingEngine::JiSuan()
{
    ClientState &s = m_client.state;
    const QString &typed = m_client.ui.txt2->text();
    const QString &reference = m_client.ui.txt1->text();
    s.NumTxtInputCount = counted(typed.size());
    s.NumTxtCount = counted(reference.size());
    s.NumTxtRight = countMatches(reference, typed);
}

int TypingEngine::countMatches(const QString &reference, const QString &typed)
{
    const qsizetype length = std::min(reference.size(), typed.size());
    const QChar *a = reference.constData();
    const QChar *b = typed.constData();
    // A plain loop the compiler turns into vector compares; it runs on every keystroke over
    // up to 32767 positions.
    int matches = 0;
    for (qsizetype i = 0; i < length; ++i)
        matches += a[i] == b[i];
    return std::min(matches, int(ClientState::kMaxCount));
}

void TypingEngine::rst(const QString &cwas)
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;

    s.IsReStart = true;
    s.IsWorking = true;
    // Emptying a box that held text runs the change handler, still on the old reference.
    ui.txt2->setText(QString());
    s.MaxTime = 0;
    s.TotalTime = 0;
    s.NumNextStart = 0;
    ui.Pmid->show();
    ui.Pmid2->hide();
    // The practice clock runs from now, not from the first keystroke.
    if (!ui.Timer3->isActive())
        ui.Timer3->start();

    ui.txt1->setText(cwas);
    const int length = int(ui.txt1->text().size());
    format(ui.txt1, 0, length, s.ColorNoinput, false);
    markCurrent(0);

    if (length > 0) {
        ui.cmdread->setEnabled(false);
        ui.cmdexit->setEnabled(true);
    } else {
        ui.cmdexit->setEnabled(false);
    }
    s.resetCounters(counted(length));
    ui.btnzigen->setEnabled(true);
    ui.cts->setEnabled(true);
    ui.txt2->setReadOnly(false);
    s.errChar.clear();
    s.cuowu.clear();
}
