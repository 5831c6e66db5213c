#include "typing/TypingEngine.h"

TypingEngine::TypingEngine(Client &client) : m_client(client) {}
void TypingEngine::txt2_Change() {}
void TypingEngine::JiSuan() {}
void TypingEngine::ResetNum() {}
void TypingEngine::rst(const QString &) {}
