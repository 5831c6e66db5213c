// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <array>

// The root strip of the practice window and its paging: a row of up to 100 root labels (one
// page of the exercise at a time, plus one hidden label holding the first root of the next
// page) and the typing box, which holds the roots accepted on the current page.
//
// Geometry is in twips: label i stands at 240 + 840 × i and is 840 wide; a label fits while
// its right edge plus a margin of 200 stays left of the panel's right edge.
class RootStrip
{
public:
    static constexpr int kLabels = 100;
    static constexpr int kLabelLeft = 240;
    static constexpr int kLabelTop = 240;
    static constexpr int kLabelSize = 840;
    static constexpr int kRightMargin = 200;
    static constexpr int kInputGap = 400; // between the labels and the typing box

    // Left edge of label i in twips.
    static int labelLeft(int index) { return kLabelLeft + kLabelSize * index; }

    // The labels exist: label 0 always, labels 1 to count - 1 as copies of it, each shown
    // while its right edge stays left of the panel's width (before the first re-layout).
    void createLabels(int count, int panelWidth);
    // A new exercise: every label empty, the typing box empty, the first page in the labels
    // with the page size of the last re-layout, page 1, its first root highlighted.
    void start(const QString &exercise);

    // Re-layout for a panel `panelWidth` twips wide: the page size becomes the number of
    // labels that fit, and the page, the labels and the typing box are rebuilt so that the
    // roots accepted so far stay accepted and the next root to type stays highlighted.
    void relayout(int panelWidth);

    // The root the student has to answer now: the one in the label after the last accepted
    // root of the page. Empty when there is none (past the exercise's end or the last label).
    QString nextRoot() const;
    // When the typing box holds a whole page: show the next page, if the exercise has one,
    // and count the page on in any case.
    void turnPageIfFull();
    // The next root moves into the typing box.
    void acceptNext();
    // The root to type next is highlighted, the one before it is normal again.
    void recolour();

    const QString &exercise() const { return m_text; }
    int length() const { return int(m_text.size()); }
    int page() const { return m_page; }
    int lastIndex() const { return m_lastIdx; }
    int pageSize() const { return m_lastIdx + 1; }
    int labelCount() const { return m_created; }
    const QString &caption(int index) const;
    bool isShown(int index) const;
    bool isHighlighted(int index) const;
    const QString &typed() const { return m_typed; }

private:
    void setCaption(int index, const QString &caption);
    void setHighlighted(int index, bool on);

    QString m_text;    // the exercise, in typing order
    int m_page = 1;    // from 1
    int m_lastIdx = 0; // page size - 1
    int m_created = 1;
    std::array<QString, kLabels> m_captions;
    std::array<bool, kLabels> m_shown{true};
    std::array<bool, kLabels> m_highlighted{};
    QString m_typed;
};
