#pragma once

class Client;

// The pause before a code hint and the hint check box cts.
class HintDelay
{
public:
    explicit HintDelay(Client &client);

    // First step of every change of the typing box: clear the hint, restart the pause.
    void resetHint();
    // Last step of every tick of the test clock.
    void hintStep();
    // Click of the hint check box.
    void cts_Click();

private:
    void showCharacterHint();
    void showWordHint();

    Client &m_client;
};
