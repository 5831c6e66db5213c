// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

class CodeTables;
class MainControls;

// The root glyphs after the hint label: four slots Imgzg 0-3 on the top panel, each showing
// one numbered root glyph or none. The main window draws the glyphs and places the slots after
// the hint text.
class RootDisplay
{
public:
    static constexpr int kGlyphCount = 206;
    static constexpr int kSlotCount = 4;

    RootDisplay(MainControls &ui, const CodeTables &tables);

    // Shows the root glyphs of the character and places the slots after the hint text.
    void DispZG(const QString &iStr);
    // Empties the hint label and the four slots.
    void ClearZg();

    // Number of the glyph a slot shows, 0 when it shows none.
    int slotGlyph(int slot) const;

    // The glyph numbers of a root field (three digits each), up to the first group that names
    // no glyph: what DispZG shows for it.
    static QList<int> glyphNumbers(const QString &rootField);

private:
    void showGlyph(int slot, int number);

    MainControls &m_ui;
    const CodeTables &m_tables;
};
