#include "env/InputMethodSelection.h"

#include "core/Client.h"
#include "core/Platform.h"
#include "net/Protocol.h"

namespace {
constexpr int kMaxLayouts = 16;
const QString kEnglish = QStringLiteral("英语（美国）");
} // namespace

InputMethodSelection::InputMethodSelection(Client &client) : m_client(client) {}

void InputMethodSelection::ReadShurufa()
{
    if (InputMethods *service = m_client.services.inputMethods)
        m_installed = service->installed().mid(0, kMaxLayouts);
    m_client.ui.cmbshurufa->clear();
}

void InputMethodSelection::FillShurufa(const QString &rule)
{
    ReadShurufa();
    ChoiceList *list = m_client.ui.cmbshurufa;
    list->addItem(kEnglish);
    const bool everything = protocol::isUnrestricted(rule);
    for (const QString &name : std::as_const(m_installed)) {
        if (name.isEmpty())
            continue;
        if (everything || name.contains(rule))
            list->addItem(name);
    }
    list->setCurrentIndex(0);
    cmbshurufa_Click();
}

void InputMethodSelection::cmbshurufa_Click()
{
    const QString chosen = m_client.ui.cmbshurufa->currentText();
    if (chosen.contains(QStringLiteral("英语"))) {
        // The English item stands for the first input method the desktop lists.
        m_client.state.ActIme = m_installed.value(0);
    } else if (m_installed.contains(chosen)) {
        m_client.state.ActIme = chosen;
    }
    m_client.ui.txt2->setFocus();
    reactivate();
}

void InputMethodSelection::reactivate()
{
    if (m_client.ui.cmbshurufa->count() < 1)
        return;
    if (InputMethods *service = m_client.services.inputMethods)
        service->activate(m_client.state.ActIme);
}
