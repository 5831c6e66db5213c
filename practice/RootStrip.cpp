// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/RootStrip.h"

#include <algorithm>

namespace {

const QString kEmpty;
// The caption a label shows before it is given a root.
const QString kBlankCaption = QStringLiteral("  ");

} // namespace

void RootStrip::createLabels(int count, int panelWidth)
{
    m_created = std::clamp(count, 1, kLabels);
    m_captions.fill(QString());
    m_captions[0] = kBlankCaption;
    m_shown.fill(false);
    m_shown[0] = true;
    for (int i = 1; i < m_created; ++i) {
        m_captions[i] = kBlankCaption;
        m_shown[i] = labelLeft(i) + kLabelSize < panelWidth;
    }
}

void RootStrip::start(const QString &exercise)
{
    for (int i = 0; i < m_created; ++i)
        m_captions[i].clear();
    m_typed.clear();
    m_text = exercise;
    const int fill = std::min(length(), m_lastIdx + 1);
    for (int i = 0; i < fill; ++i)
        setCaption(i, m_text.at(i));
    m_page = 1;
    // The strip is coloured for the new exercise at once: a practice started in an open window
    // must not keep the highlight of the one before.
    recolour();
}

void RootStrip::relayout(int panelWidth)
{
    const int oldSize = pageSize();
    const int onPage = int(m_typed.size());
    const int accepted = int(std::min<qint64>(qint64(m_page - 1) * oldSize + onPage, length()));

    m_lastIdx = 0;
    for (int i = 1; i < m_created; ++i) {
        m_shown[i] = labelLeft(i) + kLabelSize + kRightMargin < panelWidth;
        if (m_shown[i])
            m_lastIdx = i;
    }
    m_shown[0] = true;
    const int size = pageSize();

    // With roots on the page, the page of the last accepted root; otherwise the page of the
    // next root to type.
    m_page = onPage > 0 && accepted > 0 ? (accepted - 1) / size + 1 : accepted / size + 1;
    const int begin = size * (m_page - 1);

    for (int i = 0; i <= size && i < m_created; ++i)
        setCaption(i, begin + i < length() ? QString(m_text.at(begin + i)) : QString());
    m_typed = m_text.mid(begin, accepted - begin);

    m_highlighted.fill(false);
    setHighlighted(accepted - begin, true);
}

QString RootStrip::nextRoot() const
{
    return caption(int(m_typed.size()));
}

void RootStrip::turnPageIfFull()
{
    const int size = pageSize();
    if (m_typed.size() < size)
        return;
    const qint64 done = qint64(size) * m_page;
    if (done < length()) {
        for (int i = 0; i < m_created; ++i)
            m_captions[i].clear();
        m_typed.clear();
        const int fill = int(std::min<qint64>(size, length() - done));
        for (int i = 0; i < fill; ++i)
            setCaption(i, m_text.at(done + i));
    }
    ++m_page;
}

void RootStrip::acceptNext()
{
    m_typed += nextRoot();
}

void RootStrip::recolour()
{
    const int k = int(m_typed.size());
    if (k == 0) {
        m_highlighted.fill(false);
        setHighlighted(0, true);
    } else {
        setHighlighted(k - 1, false);
        setHighlighted(k, true);
    }
}

const QString &RootStrip::caption(int index) const
{
    return index >= 0 && index < m_created ? m_captions[index] : kEmpty;
}

bool RootStrip::isShown(int index) const
{
    return index >= 0 && index < m_created && m_shown[index];
}

bool RootStrip::isHighlighted(int index) const
{
    return index >= 0 && index < m_created && m_highlighted[index];
}

void RootStrip::setCaption(int index, const QString &caption)
{
    if (index >= 0 && index < m_created)
        m_captions[index] = caption;
}

void RootStrip::setHighlighted(int index, bool on)
{
    if (index >= 0 && index < m_created)
        m_highlighted[index] = on;
}
