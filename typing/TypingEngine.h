#pragma once

#include <QString>

class Client;

// Comparison, colouring and counting of the typed text against the reference text, and the
// end of a test by completion.
class TypingEngine
{
public:
    explicit TypingEngine(Client &client);

    // Runs after every change of the typing box txt2.
    void txt2_Change();
    // Recounts NumTxtInputCount, NumTxtCount and NumTxtRight from the two boxes.
    void JiSuan();
    void ResetNum();
    // Starts a practice test on cwas (the practice link of the result window).
    void rst(const QString &cwas);

    // Shows the result window for the test that has just ended, with the counters of this
    // moment, and waits until it closes; then locks the typing box and ends the test unless
    // the student started a practice test from the window. The caller has stopped the clock.
    void showResult();
    // True from the moment a test starts ending (completion runs its last tick first) until
    // its result window has closed. A second ending meanwhile, from a tick or a change that
    // runs inside that one, would show the result twice; callers leave it to the first.
    bool isEnding() const { return m_ending; }
    // How many result windows this client has shown, and the sentence of the last one.
    int resultsShown() const { return m_resultsShown; }
    const QString &lastSentence() const { return m_lastSentence; }

    // Number of positions at which the two texts hold the same code unit.
    static int countMatches(const QString &reference, const QString &typed);

private:
    void colourTyped(const QString &reference, const QString &typed, int from);
    void markCurrent(int position);

    Client &m_client;
    bool m_ending = false;
    int m_resultsShown = 0;
    QString m_lastSentence;
};
