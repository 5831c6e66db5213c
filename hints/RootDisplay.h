#pragma once

#include <QPixmap>
#include <QString>

#include <array>

class Client;

// The root glyphs after the hint label: four picture slots Imgzg 0-3 on the top panel.
class RootDisplay
{
public:
    static constexpr int kGlyphCount = 206;
    static constexpr int kSlotCount = 4;

    explicit RootDisplay(Client &client);

    // Shows the root glyphs of the character and places the slots after the label.
    void DispZG(const QString &iStr);
    // Empties the hint label and the four slots.
    void ClearZg();

    // Number of the glyph a slot shows, 0 when it shows none. The slot label carries the same
    // number in its "glyphNumber" property.
    int slotGlyph(int slot) const;

    // The glyph with the given number (1-206), or a null pixmap for any other number or when
    // the picture is not built in. The sharper picture is taken for device pixel ratios above 1.
    static QPixmap glyph(int number);
    static QPixmap glyph(int number, qreal devicePixelRatio);

private:
    void showGlyph(int slot, int number);
    void placeSlots();
    int px(int twips) const;

    Client &m_client;
    std::array<int, kSlotCount> m_slotGlyph{};
};
