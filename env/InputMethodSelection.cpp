#include "env/InputMethodSelection.h"

InputMethodSelection::InputMethodSelection(Client &client) : m_client(client) {}
void InputMethodSelection::ReadShurufa() {}
void InputMethodSelection::FillShurufa(const QString &) {}
void InputMethodSelection::cmbshurufa_Click() {}
void InputMethodSelection::reactivate() {}
