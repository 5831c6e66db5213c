#include "env/ForbiddenScan.h"

#include "core/Blanks.h"
#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/Platform.h"

ForbiddenScan::ForbiddenScan(Client &client)
    : m_client(client)
{}

void ForbiddenScan::check(const QString &list)
{
    ClientState &s = m_client.state;
    if (list != s.strForbidList) {
        s.ForbidList = list.split(u'|');
        s.strForbidList = list;
    }
    // Titles joined with "," so a name is looked for in one text.
    QString titles;
    if (WindowTitles *service = m_client.services.windowTitles) {
        for (const QString &title : service->titles()) {
            if (!title.isEmpty())
                titles += title + u',';
        }
    }
    for (const QString &name : std::as_const(s.ForbidList)) {
        // Only blanks make a name empty: a name of tabs or full-width spaces is looked for.
        if (blanks::trimmed(name, blanks::Set::SpacesOnly).isEmpty() || !titles.contains(name))
            continue;
        showMessage(*m_client.services.dialogs, Dialogs::Warning, QStringLiteral("注意"),
                    QStringLiteral("【") + name +
                        QStringLiteral("】不允许在检测期间运行，请先关闭再继续！"));
    }
}
