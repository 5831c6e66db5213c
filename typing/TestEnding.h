#pragma once

#include <QObject>
#include <QString>

class Client;

// What the result window shows for a test that has just ended.
struct TestResult
{
    QString xingming;
    QString xuehao;
    QString banji;
    QString msg;   // the statistics sentence
    QString cuowu; // the mistyped characters, for the practice link
};

// Every way a test ends, in one place: completion (the last character typed), the time limit,
// the end button, and the end of a practice test (which shows its result but goes on). A second
// ending that comes up while one is being shown (a tick or a keystroke handled inside the
// result window's loop) is left to the first.
class TestEnding : public QObject
{
    Q_OBJECT
public:
    explicit TestEnding(Client &client);

    // The whole reference text has been typed: one more tick sends the final counts, the
    // clock stops and the result shows.
    void completed();
    // The tick found the time limit reached: the clock stops and the result shows.
    void timeLimitReached();
    // The end button: asks, ends the test, sends the end report, stops the clock.
    void cmdexit_Click();

    // True from the moment a test starts ending until its result window has closed.
    bool isEnding() const { return m_ending; }
    // How many results this client has shown, and the sentence of the last one.
    int resultsShown() const { return m_resultsShown; }
    const QString &lastSentence() const { return m_lastSentence; }

signals:
    // Shows the result; a connected window returns when it has closed.
    void resultReady(const TestResult &result);

private:
    void showResult();

    Client &m_client;
    bool m_ending = false;
    int m_resultsShown = 0;
    QString m_lastSentence;
};
