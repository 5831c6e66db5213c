#include "practice/PracticeLauncher.h"

#include "core/Client.h"
#include "core/Dialogs.h"

PracticeLauncher::PracticeLauncher(Client &client) : m_client(client) {}

void PracticeLauncher::LoadForm(const QString &)
{
    // Root practice is not part of this client yet: tell the student instead of ignoring the
    // server silently.
    showMessage(*m_client.services.dialogs, Dialogs::Information,
                applicationTitle(), QStringLiteral("服务器开始了字根练习，本客户端暂不支持字根练习。"));
}
