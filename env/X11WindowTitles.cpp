// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/X11WindowTitles.h"

#include <QDebug>
#include <QList>
#include <QStringDecoder>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A title longer than this (64 KiB) is read up to here.
constexpr uint32_t kMaxTitleWords = 16384;
// How deep below a top-level window the student's window is looked for: a frame of a window
// manager nests it one or two levels down.
constexpr int kMaxDepth = 4;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> owned(T *reply)
{
    return Reply<T>(reply, &std::free);
}

struct Atoms
{
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t netWmPid = XCB_ATOM_NONE;
};

Atoms internAtoms(xcb_connection_t *connection)
{
    auto ask = [connection](const char *name) {
        return xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
    };
    const xcb_intern_atom_cookie_t cookies[] = {ask("_NET_WM_NAME"), ask("WM_STATE"),
                                                ask("_NET_WM_PID")};
    xcb_atom_t atoms[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (auto reply = owned(xcb_intern_atom_reply(connection, cookies[i], nullptr)))
            atoms[i] = reply->atom;
    }
    return {atoms[0], atoms[1], atoms[2]};
}

QList<xcb_window_t> children(xcb_connection_t *connection, xcb_window_t window)
{
    auto tree =
        owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *first = xcb_query_tree_children(tree.get());
    return QList<xcb_window_t>(first, first + xcb_query_tree_children_length(tree.get()));
}

bool hasProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    if (property == XCB_ATOM_NONE)
        return false;
    auto reply = owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ANY, 0, 0),
        nullptr));
    return reply && reply->type != XCB_ATOM_NONE;
}

// The window a program made: the top-level window itself, or the first window below it that
// a window manager has marked with WM_STATE (the manager's frame is the top-level one).
xcb_window_t clientWindow(xcb_connection_t *connection, xcb_window_t top, const Atoms &atoms)
{
    if (hasProperty(connection, top, atoms.wmState))
        return top;
    QList<xcb_window_t> level = children(connection, top);
    for (int depth = 0; depth < kMaxDepth && !level.isEmpty(); ++depth) {
        QList<xcb_window_t> next;
        for (xcb_window_t window : std::as_const(level)) {
            if (hasProperty(connection, window, atoms.wmState))
                return window;
            next += children(connection, window);
        }
        level = next;
    }
    return top;
}

// The bytes of a text property of 8-bit format; empty when the window has none.
QByteArray propertyBytes(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                         xcb_atom_t *type)
{
    auto reply = owned(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, property, XCB_ATOM_ANY, 0, kMaxTitleWords),
        nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return {};
    *type = reply->type;
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString title(xcb_connection_t *connection, xcb_window_t window, const Atoms &atoms)
{
    xcb_atom_t type = XCB_ATOM_NONE;
    // _NET_WM_NAME is UTF-8 whatever type a program labels it with (some say STRING).
    if (atoms.netWmName != XCB_ATOM_NONE) {
        const QByteArray name = propertyBytes(connection, window, atoms.netWmName, &type);
        if (!name.isEmpty())
            return QString::fromUtf8(name);
    }
    const QByteArray name = propertyBytes(connection, window, XCB_ATOM_WM_NAME, &type);
    // WM_NAME of type STRING is Latin-1, but programs that write UTF-8 there are common enough
    // that bytes which read as UTF-8 are taken as such. Other encodings (COMPOUND_TEXT of old
    // toolkits) are read as UTF-8 too: right for their ASCII part.
    if (type == XCB_ATOM_STRING && !isUtf8(name))
        return QString::fromLatin1(name);
    return QString::fromUtf8(name);
}

// The process that made the window, when it says (_NET_WM_PID); 0 otherwise.
qint64 processOf(xcb_connection_t *connection, xcb_window_t window, const Atoms &atoms)
{
    if (atoms.netWmPid == XCB_ATOM_NONE)
        return 0;
    auto reply = owned(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atoms.netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
}

} // namespace

X11WindowTitles::X11WindowTitles(QByteArray display)
    : m_display(std::move(display))
{}

QStringList X11WindowTitles::titles()
{
    return windows().titles;
}

WindowList X11WindowTitles::windows()
{
    int screenNumber = 0;
    // A connection per scan: a scan is rare, and a restarted X server is found again.
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(m_display.isEmpty() ? nullptr : m_display.constData(), &screenNumber),
        &xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        if (!m_told) {
            m_told = true;
            const QByteArray name = m_display.isEmpty() ? qgetenv("DISPLAY") : m_display;
            qWarning().noquote()
                << QStringLiteral("No X server at \"%1\": the forbidden program check cannot see "
                                  "the desktop's windows and finds none.")
                       .arg(QString::fromLocal8Bit(name));
        }
        return {};
    }
    xcb_connection_t *c = connection.get();
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return {};

    const Atoms atoms = internAtoms(c);
    // The tree lists the top-level windows from the bottom of the stacking order.
    const QList<xcb_window_t> topLevel = children(c, screens.data->root);
    WindowList result;
    for (auto it = topLevel.crbegin(); it != topLevel.crend(); ++it) {
        const xcb_window_t window = clientWindow(c, *it, atoms);
        result.titles << title(c, window, atoms);
        if (const qint64 pid = processOf(c, window, atoms))
            result.pids << pid;
    }
    return result;
}
