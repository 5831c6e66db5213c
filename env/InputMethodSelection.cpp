// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/InputMethodSelection.h"

#include "core/ClientState.h"
#include "core/Dialogs.h"
#include "core/MainControls.h"
#include "net/Protocol.h"

namespace {
const QString kEnglish = QStringLiteral("英语（美国）");
} // namespace

InputMethodSelection::InputMethodSelection(ClientState &state, MainControls &ui,
                                           InputMethodService *service, Dialogs &dialogs)
    : m_state(state)
    , m_ui(ui)
    , m_service(service)
    , m_dialogs(dialogs)
{}

void InputMethodSelection::ReadShurufa()
{
    if (InputMethodService *service = m_service) {
        // A list that cannot be read leaves the table as it was; the next fill reads again.
        const InputMethodListing listing = service->read();
        if (listing.ok())
            m_installed = listing.entries.mid(0, kMaxEntries);
    }
    m_ui.cmbshurufa->clear();
}

void InputMethodSelection::FillShurufa(const QString &rule)
{
    ReadShurufa();
    ChoiceList *list = m_ui.cmbshurufa;
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
    const QString chosen = m_ui.cmbshurufa->currentText();
    if (chosen.contains(QStringLiteral("英语"))) {
        // The English item stands for the first entry of the framework's list.
        m_state.ActIme = m_installed.value(0).id;
    } else {
        for (const InputMethodEntry &entry : std::as_const(m_installed)) {
            if (entry.description == chosen) {
                m_state.ActIme = entry.id;
                break;
            }
        }
    }
    m_ui.txt2->setFocus();
    reactivate();
}

void InputMethodSelection::reactivate()
{
    if (m_ui.cmbshurufa->count() < 1)
        return;
    if (InputMethodService *service = m_service)
        service->activate(m_state.ActIme);
}

void InputMethodSelection::tellSetupProblem()
{
    InputMethodService *service = m_service;
    if (!service)
        return;
    const QString problem = service->setupProblem();
    if (!problem.isEmpty())
        showMessage(m_dialogs, Dialogs::Warning, QStringLiteral("注意"), problem);
}
