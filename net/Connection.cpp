#include "net/Connection.h"

Connection::Connection(Client &client) : m_client(client) {}
void Connection::cmdlianjie_Click() {}
void Connection::wsk_Connect() {}
void Connection::wsk_Close() {}
void Connection::wsk_Error() {}
void Connection::Timer4_Timer() {}
QString Connection::stateText(int, const QString &, int) { return {}; }
