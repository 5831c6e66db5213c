#include "typing/InputGuards.h"

InputGuards::InputGuards(Client &client) : m_client(client) {}
void InputGuards::txt1_GotFocus() {}
void InputGuards::txt2_GotFocus() {}
void InputGuards::txt2_KeyDown(int, int) {}
void InputGuards::txt2_KeyUp(int, int) {}
void InputGuards::txt2_MouseUp(int, int, int, int) {}
