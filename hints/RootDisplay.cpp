#include "hints/RootDisplay.h"

RootDisplay::RootDisplay(Client &client) : m_client(client) {}
void RootDisplay::DispZG(const QString &) {}
void RootDisplay::ClearZg() {}
QPixmap RootDisplay::glyph(int) { return {}; }
