// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProcess>
#include <QString>
#include <QTest>
#include <QtGlobal>

// What tests/realenv/session.sh started for this run. Each check gives the reason to skip
// when a component is not there, empty when it is.
namespace realsession {

inline QString missing(const char *marker, const char *what)
{
    if (qEnvironmentVariableIsSet(marker))
        return {};
    return QStringLiteral("%1 is not running: run this test through tests/realenv/session.sh "
                          "(ctest does) with the packages of scripts/install-deps.sh")
        .arg(QLatin1String(what));
}

inline QString missingX11()
{
    return missing("CLIENT_REAL_X11", "an X server (Xvfb)");
}
inline QString missingFcitx5()
{
    return missing("CLIENT_REAL_FCITX5", "fcitx5");
}
inline QString missingFcitx4()
{
    return missing("CLIENT_REAL_FCITX4", "fcitx 4");
}
inline QString missingIBus()
{
    return missing("CLIENT_REAL_IBUS", "ibus-daemon");
}
inline QString missingOpenbox()
{
    return missing("CLIENT_REAL_OPENBOX", "openbox");
}

// Sends keys to the focused X window as a person would, through the X server. Returns
// xdotool's exit code (-2 when it is missing).
inline int xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments);
}

// Types an input method code until `text` shows `expected`. An engine that is still loading
// lets the keys through as letters, and a commit may come late under load: each attempt starts
// from a cleared box and waits up to three seconds for the characters.
template <typename Text, typename Clear>
bool typeUntil(const QString &keys, const QString &expected, Text text, Clear clear)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        clear();
        if (xdotool({QStringLiteral("type"), keys}) != 0)
            return false;
        for (int waited = 0; waited < 3000; waited += 50) {
            const QString now = text();
            if (now == expected)
                return true;
            if (now.size() >= keys.trimmed().size())
                break; // letters: the engine did not take them
            QTest::qWait(50);
        }
    }
    return text() == expected;
}

} // namespace realsession

#define SKIP_UNLESS(reason)                                                                        \
    do {                                                                                           \
        if (const QString why = (reason); !why.isEmpty())                                          \
            QSKIP(qPrintable(why));                                                                \
    } while (false)
