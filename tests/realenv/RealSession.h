#pragma once

#include <QProcess>
#include <QString>
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

inline QString missingX11() { return missing("CLIENT_REAL_X11", "an X server (Xvfb)"); }
inline QString missingFcitx5() { return missing("CLIENT_REAL_FCITX5", "fcitx5"); }
inline QString missingIBus() { return missing("CLIENT_REAL_IBUS", "ibus-daemon"); }
inline QString missingOpenbox() { return missing("CLIENT_REAL_OPENBOX", "openbox"); }

// Sends keys to the focused X window as a person would, through the X server. Returns
// xdotool's exit code (-2 when it is missing).
inline int xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments);
}

} // namespace realsession

#define SKIP_UNLESS(reason)                                                                      \
    do {                                                                                         \
        if (const QString why = (reason); !why.isEmpty())                                       \
            QSKIP(qPrintable(why));                                                              \
    } while (false)
