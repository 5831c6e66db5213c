#pragma once

#include <QString>
#include <QStringList>

class Client;

// The input method list cmbshurufa: filled from the server's rule, and the chosen input
// method pulled back at every key, focus and change of the typing box.
class InputMethodSelection
{
public:
    explicit InputMethodSelection(Client &client);

    void ReadShurufa();
    void FillShurufa(const QString &rule);
    void cmbshurufa_Click();
    // Activates ActIme again when the list holds at least one entry.
    void reactivate();

    const QStringList &installed() const { return m_installed; }

private:
    Client &m_client;
    QStringList m_installed;
};
