#pragma once

#include <QPixmap>
#include <QString>

class Client;

// The root glyphs after the hint label: four picture slots Imgzg 0-3 on the top panel.
class RootDisplay
{
public:
    static constexpr int kGlyphCount = 206;

    explicit RootDisplay(Client &client);

    // Shows the root glyphs of the character and places the slots after the label.
    void DispZG(const QString &iStr);
    // Empties the hint label and the four slots.
    void ClearZg();

    // The glyph with the given number (1-206), or a null pixmap for any other number.
    static QPixmap glyph(int number);

private:
    Client &m_client;
};
