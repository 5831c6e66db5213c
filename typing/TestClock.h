#pragma once

#include <QtGlobal>

class Client;

// The one-second test clock Timer3: elapsed time, time limit, display, progress report, hints.
class TestClock
{
public:
    explicit TestClock(Client &client);

    // One tick. Lets waiting events run at four points; a keystroke handled there may end the
    // test and run a tick of its own from inside this one.
    void Timer3_Timer();
    // Speed, progress text, progress bar and time labels from the current counters.
    void refreshDisplay();

private:
    void showSpeedAndProgress();
    void showProgressBar();
    void showTimes();
    void sendProgress();
    // Lets waiting events run. False when the tick `tick` should stop here: another tick ran
    // meanwhile (it has shown and reported newer counts), or the clock was switched off by
    // the end button or a new text (nothing may be reported after that).
    bool yieldFor(quint64 tick);
    void cutShort(quint64 tick);

    Client &m_client;
    quint64 m_ticks = 0; // ticks begun, nested ones included
};
