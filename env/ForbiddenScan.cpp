// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/ForbiddenScan.h"

#include "core/Blanks.h"
#include "core/ClientState.h"
#include "core/Dialogs.h"
#include "core/Platform.h"

ForbiddenScan::ForbiddenScan(ClientState &state, WindowTitles *titles, Dialogs &dialogs)
    : m_state(state)
    , m_titles(titles)
    , m_dialogs(dialogs)
{}

void ForbiddenScan::check(const QString &list)
{
    ClientState &s = m_state;
    if (list != s.strForbidList) {
        s.ForbidList = list.split(u'|');
        s.strForbidList = list;
    }
    // Titles joined with "," so a name is looked for in one text.
    QString titles;
    if (WindowTitles *service = m_titles) {
        for (const QString &title : service->titles()) {
            if (!title.isEmpty())
                titles += title + u',';
        }
    }
    for (const QString &name : std::as_const(s.ForbidList)) {
        // Only blanks make a name empty: a name of tabs or full-width spaces is looked for.
        if (blanks::trimmed(name, blanks::Set::SpacesOnly).isEmpty() || !titles.contains(name))
            continue;
        showMessage(m_dialogs, Dialogs::Warning, QStringLiteral("注意"),
                    QStringLiteral("【") + name +
                        QStringLiteral("】不允许在检测期间运行，请先关闭再继续！"));
    }
}
