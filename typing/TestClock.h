#pragma once

class Client;

// The one-second test clock Timer3: elapsed time, time limit, display, progress report, hints.
class TestClock
{
public:
    explicit TestClock(Client &client);

    void Timer3_Timer();
    // Speed, progress text, progress bar and time labels from the current counters.
    void refreshDisplay();

private:
    Client &m_client;
};
