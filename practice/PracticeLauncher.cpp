#include "practice/PracticeLauncher.h"

PracticeLauncher::PracticeLauncher(Client &client) : m_client(client) {}
void PracticeLauncher::LoadForm(const QString &) {}
