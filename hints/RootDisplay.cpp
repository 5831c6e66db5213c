// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/RootDisplay.h"

#include "core/MainControls.h"
#include "hints/CodeTables.h"

namespace {

// The three characters of a root group as a glyph number, or 0 when they are not three
// decimal digits.
int groupNumber(QStringView group)
{
    int value = 0;
    for (QChar c : group) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

RootDisplay::RootDisplay(MainControls &ui, const CodeTables &tables)
    : m_ui(ui)
    , m_tables(tables)
{}

void RootDisplay::DispZG(const QString &iStr)
{
    const QString s = m_tables.rootField(iStr);
    if (!s.isEmpty()) {
        for (int k = 0; k < kSlotCount; ++k) {
            if (s.size() < 3 * (k + 1)) {
                showGlyph(k, 0);
                continue;
            }
            const int n = groupNumber(QStringView(s).mid(3 * k, 3));
            // A group that names no glyph ends the display here, unplaced: the slots already
            // filled keep their glyphs and the others what they showed.
            if (n < 1 || n > kGlyphCount)
                return;
            showGlyph(k, n);
        }
    }
    m_ui.placeRootSlots();
}

void RootDisplay::ClearZg()
{
    m_ui.LBM->clear();
    for (int k = 0; k < kSlotCount; ++k)
        showGlyph(k, 0);
}

QList<int> RootDisplay::glyphNumbers(const QString &rootField)
{
    QList<int> numbers;
    for (int k = 0; k < kSlotCount && rootField.size() >= 3 * (k + 1); ++k) {
        const int n = groupNumber(QStringView(rootField).mid(3 * k, 3));
        if (n < 1 || n > kGlyphCount)
            break;
        numbers << n;
    }
    return numbers;
}

int RootDisplay::slotGlyph(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? m_ui.Imgzg[size_t(slot)] : 0;
}

void RootDisplay::showGlyph(int slot, int number)
{
    m_ui.setRootSlot(slot, number);
}
