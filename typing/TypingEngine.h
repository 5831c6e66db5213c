#pragma once

#include <QString>

class Client;

// Comparison, colouring and counting of the typed text against the reference text.
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

private:
    Client &m_client;
};
