#include "hints/HintDelay.h"

HintDelay::HintDelay(Client &client) : m_client(client) {}
void HintDelay::resetHint() {}
void HintDelay::hintStep() {}
void HintDelay::cts_Click() {}
void HintDelay::showCharacterHint() {}
void HintDelay::showWordHint() {}
