#include "hints/CodeTables.h"

CodeTables::CodeTables(Client &client) : m_client(client) {}
void CodeTables::ReadBM() {}
QString CodeTables::FindWord(const QString &) const { return {}; }
QString CodeTables::FindCz(const QString &) const { return {}; }
QString CodeTables::rootField(const QString &) const { return {}; }
