#pragma once

#include <QString>

class Client;

// Comparison, colouring and counting of the typed text against the reference text.
class TypingEngine
{
public:
    explicit TypingEngine(Client &client);

    // Runs after every change of the typing box txt2, with the box's new text.
    void txt2_Change(const QString &typed);
    // Recounts NumTxtInputCount, NumTxtCount and NumTxtRight from the two texts.
    void JiSuan();
    // Starts a practice test on cwas (the practice link of the result window).
    void rst(const QString &cwas);

    // Number of positions at which the two texts hold the same code unit.
    static int countMatches(const QString &reference, const QString &typed);

private:
    void colourTyped(const QString &reference, const QString &typed, int from);
    void markCurrent(int position);

    Client &m_client;
};
