#include "typing/MessageWindows.h"

#include <QWidget>

MessageWindows::MessageWindows(Client &client) : m_client(client) {}
MessageWindows::~MessageWindows() = default;
void MessageWindows::PrintText(const QString &) {}
void MessageWindows::showMsg(const QString &, const QString &, const QString &, const QString &,
                             const QString &)
{
}
QWidget *MessageWindows::form4() const { return m_form4; }
