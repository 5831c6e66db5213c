#include "env/InputMethodSelection.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "net/Protocol.h"

namespace {
const QString kEnglish = QStringLiteral("英语（美国）");
} // namespace

InputMethodSelection::InputMethodSelection(Client &client)
    : m_client(client)
{}

void InputMethodSelection::ReadShurufa()
{
    if (InputMethodService *service = m_client.services.inputMethods) {
        // A list that cannot be read leaves the table as it was; the next fill reads again.
        const InputMethodListing listing = service->read();
        if (listing.ok())
            m_installed = listing.entries.mid(0, kMaxEntries);
    }
    m_client.ui.cmbshurufa->clear();
}

void InputMethodSelection::FillShurufa(const QString &rule)
{
    ReadShurufa();
    ChoiceList *list = m_client.ui.cmbshurufa;
    list->addItem(kEnglish);
    const bool everything = protocol::isUnrestricted(rule);
    for (const InputMethodEntry &entry : std::as_const(m_installed)) {
        if (entry.description.isEmpty())
            continue;
        if (everything || entry.description.contains(rule))
            list->addItem(entry.description);
    }
    list->setCurrentIndex(0);
    cmbshurufa_Click();
}

void InputMethodSelection::cmbshurufa_Click()
{
    const QString chosen = m_client.ui.cmbshurufa->currentText();
    if (chosen.contains(QStringLiteral("英语"))) {
        // The English item stands for the first entry of the framework's list.
        m_client.state.ActIme = m_installed.value(0).id;
    } else {
        for (const InputMethodEntry &entry : std::as_const(m_installed)) {
            if (entry.description == chosen) {
                m_client.state.ActIme = entry.id;
                break;
            }
        }
    }
    m_client.ui.txt2->setFocus();
    reactivate();
}

void InputMethodSelection::reactivate()
{
    if (m_client.ui.cmbshurufa->count() < 1)
        return;
    if (InputMethodService *service = m_client.services.inputMethods)
        service->activate(m_client.state.ActIme);
}

void InputMethodSelection::tellSetupProblem()
{
    InputMethodService *service = m_client.services.inputMethods;
    if (!service)
        return;
    const QString problem = service->setupProblem();
    if (!problem.isEmpty())
        showMessage(*m_client.services.dialogs, Dialogs::Warning, QStringLiteral("注意"), problem);
}
