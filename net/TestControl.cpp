#include "net/TestControl.h"

TestControl::TestControl(Client &client) : m_client(client) {}
void TestControl::wsk_DataArrival() {}
void TestControl::handleMessage(const QString &) {}
void TestControl::cmdread_Click() {}
void TestControl::cmdexit_Click() {}
