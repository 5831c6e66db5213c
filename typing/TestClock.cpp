#include "typing/TestClock.h"

TestClock::TestClock(Client &client) : m_client(client) {}
void TestClock::Timer3_Timer() {}
void TestClock::refreshDisplay() {}
