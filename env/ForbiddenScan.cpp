#include "env/ForbiddenScan.h"

ForbiddenScan::ForbiddenScan(Client &client) : m_client(client) {}
void ForbiddenScan::check(const QString &) {}
