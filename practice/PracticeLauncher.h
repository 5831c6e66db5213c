#pragma once

#include "core/Status.h"
#include "practice/PracticeHost.h"

#include <QPointer>
#include <QString>

class Client;
class Form6;

// Opens root practice for a "<zg>" text: the practice window, created on first use and gone
// when closed, with the main window hidden while it is open. It gives the practice the
// client's result window and message boxes.
class PracticeLauncher final : public PracticeHost
{
public:
    explicit PracticeLauncher(Client &client);
    ~PracticeLauncher() override;

    // Starts the practice the text asks for. A text that asks for something impossible
    // changes nothing and gives the message for the dispatcher's error box.
    Status LoadForm(const QString &text);

    // The open practice window, or nullptr.
    Form6 *form6() const;

    bool showResult(const QString &sentence) override;
    bool confirmLeave(const QString &question) override;

private:
    Client &m_client;
    QPointer<Form6> m_form6;
};
