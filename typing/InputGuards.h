#pragma once

class Client;

// Guards on the two text boxes: focus, input method, paste, Backspace, caret at the end.
class InputGuards
{
public:
    explicit InputGuards(Client &client);

    void txt1_GotFocus();
    void txt2_GotFocus();
    void txt2_KeyDown(int keyCode, int shift);
    void txt2_KeyUp(int keyCode, int shift);
    void txt2_MouseUp(int button, int shift, int x, int y);

private:
    Client &m_client;
};
