#include "hints/HintDelay.h"

#include "core/Client.h"
#include "hints/CodeTables.h"
#include "hints/RootDisplay.h"
#include "typing/RichTextBox.h"

#include <QCheckBox>
#include <QLabel>

namespace {

const QString kCaption = QStringLiteral("显示编码提示");

// Only blanks are trimmed: other spaces, such as the full-width one, belong to the word.
QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

HintDelay::HintDelay(Client &client)
    : m_client(client)
{}

void HintDelay::resetHint()
{
    m_client.roots->ClearZg();
    m_client.state.IsHintPending = true;
    m_client.state.dengdaishijian = 0;
}

void HintDelay::hintStep()
{
    ClientState &state = m_client.state;
    if (!state.IsHintPending)
        return;
    QCheckBox *cts = m_client.ui.cts;
    if (!cts->isChecked()) {
        cts->setText(kCaption);
        m_client.roots->ClearZg();
        state.IsHintPending = false;
        return;
    }
    if (state.dengdaishijian < state.NumHintDelay) {
        ++state.dengdaishijian;
        cts->setText(kCaption + u'(' + QString::number(state.NumHintDelay - state.dengdaishijian) +
                     QStringLiteral("秒后)"));
        return;
    }
    // The caption keeps the last count: it reads "(0秒后)" while the hint is on display.
    state.dengdaishijian = 0;
    if (state.IsCzText)
        showWordHint();
    else
        showCharacterHint();
    state.IsHintPending = false;
}

void HintDelay::cts_Click()
{
    m_client.state.IsHintPending = m_client.ui.cts->isChecked();
    m_client.ui.txt2->setFocus();
}

void HintDelay::showCharacterHint()
{
    // The next character to type; nothing once the whole text has been typed.
    const QString reference = m_client.ui.txt1->text();
    const qsizetype typed = m_client.ui.txt2->text().size();
    const QString next = typed < reference.size() ? reference.mid(typed, 1) : QString();

    QLabel *hint = m_client.ui.LBM;
    hint->setText(m_client.tables->FindWord(next));
    hint->adjustSize();
    m_client.roots->DispZG(next);
}

void HintDelay::showWordHint()
{
    m_client.roots->ClearZg();
    // The word runs from the current reference position up to and including the next blank;
    // with no blank after the position there is no word.
    const QString reference = m_client.ui.txt1->text();
    const int start = m_client.ui.txt1->selStart();
    const qsizetype blank = start <= reference.size() ? reference.indexOf(u' ', start) : -1;
    const QString word = blank >= 0 ? reference.mid(start, blank - start + 1) : QString();

    QLabel *hint = m_client.ui.LBM;
    hint->setText(word + QStringLiteral("    ") + m_client.tables->FindCz(trimBlanks(word)));
    hint->adjustSize();
}
