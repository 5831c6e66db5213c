// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/WaylandToplevels.h"

#include "plasma-window-management-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QElapsedTimer>

#include <poll.h>
#include <wayland-client.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// The versions this client was written against.
constexpr uint32_t kWlrVersion = 3;
constexpr uint32_t kPlasmaVersion = 16;

struct Toplevel
{
    QString title;
    QString appId;
    qint64 pid = 0;
    bool closed = false;
    zwlr_foreign_toplevel_handle_v1 *wlr = nullptr;
    org_kde_plasma_window *plasma = nullptr;
};

struct Session
{
    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    zwlr_foreign_toplevel_manager_v1 *wlr = nullptr;
    org_kde_plasma_window_management *plasma = nullptr;
    uint32_t plasmaVersion = 0;
    std::vector<std::unique_ptr<Toplevel>> toplevels;
    QElapsedTimer clock;
    int timeoutMs = 0;

    // Nothing is sent on the way out: the connection closes at once, and the compositor
    // forgets the objects with it.
    ~Session()
    {
        for (const auto &toplevel : toplevels) {
            if (toplevel->wlr)
                wl_proxy_destroy(reinterpret_cast<wl_proxy *>(toplevel->wlr));
            if (toplevel->plasma)
                wl_proxy_destroy(reinterpret_cast<wl_proxy *>(toplevel->plasma));
        }
        if (wlr)
            wl_proxy_destroy(reinterpret_cast<wl_proxy *>(wlr));
        if (plasma)
            wl_proxy_destroy(reinterpret_cast<wl_proxy *>(plasma));
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    int remainingMs() const { return std::max(0, timeoutMs - int(clock.elapsed())); }

    // Waits until the compositor has answered everything sent so far, or the time is up.
    bool roundtrip()
    {
        bool done = false;
        wl_callback *callback = wl_display_sync(display);
        static const wl_callback_listener listener = {
            [](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
        wl_callback_add_listener(callback, &listener, &done);
        while (!done) {
            while (wl_display_prepare_read(display) != 0) {
                if (wl_display_dispatch_pending(display) < 0)
                    return false; // the connection failed; the callback goes with it
            }
            if (done) {
                wl_display_cancel_read(display);
                break;
            }
            wl_display_flush(display);
            pollfd fd{wl_display_get_fd(display), POLLIN, 0};
            if (poll(&fd, 1, remainingMs()) <= 0) {
                wl_display_cancel_read(display);
                wl_proxy_destroy(reinterpret_cast<wl_proxy *>(callback));
                return false; // out of time, or the poll failed
            }
            if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
                return false;
        }
        return true;
    }
};

Toplevel *toplevelOf(void *data)
{
    return static_cast<Toplevel *>(data);
}

const zwlr_foreign_toplevel_handle_v1_listener wlrHandleListener = {
    .title = [](void *data, zwlr_foreign_toplevel_handle_v1 *,
                const char *title) { toplevelOf(data)->title = QString::fromUtf8(title); },
    .app_id = [](void *data, zwlr_foreign_toplevel_handle_v1 *,
                 const char *appId) { toplevelOf(data)->appId = QString::fromUtf8(appId); },
    .output_enter = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
    .output_leave = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
    .state = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_array *) {},
    .done = [](void *, zwlr_foreign_toplevel_handle_v1 *) {},
    .closed = [](void *data,
                 zwlr_foreign_toplevel_handle_v1 *) { toplevelOf(data)->closed = true; },
    .parent = [](void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {},
};

const zwlr_foreign_toplevel_manager_v1_listener wlrManagerListener = {
    .toplevel =
        [](void *data, zwlr_foreign_toplevel_manager_v1 *,
           zwlr_foreign_toplevel_handle_v1 *handle) {
            auto *session = static_cast<Session *>(data);
            auto toplevel = std::make_unique<Toplevel>();
            toplevel->wlr = handle;
            zwlr_foreign_toplevel_handle_v1_add_listener(handle, &wlrHandleListener,
                                                         toplevel.get());
            session->toplevels.push_back(std::move(toplevel));
        },
    .finished = [](void *, zwlr_foreign_toplevel_manager_v1 *) {},
};

const org_kde_plasma_window_listener plasmaWindowListener = {
    .title_changed = [](void *data, org_kde_plasma_window *,
                        const char *title) { toplevelOf(data)->title = QString::fromUtf8(title); },
    .app_id_changed = [](void *data, org_kde_plasma_window *,
                         const char *appId) { toplevelOf(data)->appId = QString::fromUtf8(appId); },
    .state_changed = [](void *, org_kde_plasma_window *, uint32_t) {},
    .virtual_desktop_changed = [](void *, org_kde_plasma_window *, int32_t) {},
    .themed_icon_name_changed = [](void *, org_kde_plasma_window *, const char *) {},
    .unmapped = [](void *data, org_kde_plasma_window *) { toplevelOf(data)->closed = true; },
    .initial_state = [](void *, org_kde_plasma_window *) {},
    .parent_window = [](void *, org_kde_plasma_window *, org_kde_plasma_window *) {},
    .geometry = [](void *, org_kde_plasma_window *, int32_t, int32_t, uint32_t, uint32_t) {},
    .icon_changed = [](void *, org_kde_plasma_window *) {},
    .pid_changed = [](void *data, org_kde_plasma_window *,
                      uint32_t pid) { toplevelOf(data)->pid = pid; },
    .virtual_desktop_entered = [](void *, org_kde_plasma_window *, const char *) {},
    .virtual_desktop_left = [](void *, org_kde_plasma_window *, const char *) {},
    .application_menu = [](void *, org_kde_plasma_window *, const char *, const char *) {},
    .activity_entered = [](void *, org_kde_plasma_window *, const char *) {},
    .activity_left = [](void *, org_kde_plasma_window *, const char *) {},
    .resource_name_changed = [](void *, org_kde_plasma_window *, const char *) {},
};

void addPlasmaWindow(Session *session, org_kde_plasma_window *window)
{
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->plasma = window;
    org_kde_plasma_window_add_listener(window, &plasmaWindowListener, toplevel.get());
    session->toplevels.push_back(std::move(toplevel));
}

const org_kde_plasma_window_management_listener plasmaManagementListener = {
    .show_desktop_changed = [](void *, org_kde_plasma_window_management *, uint32_t) {},
    .window =
        [](void *data, org_kde_plasma_window_management *management, uint32_t id) {
            auto *session = static_cast<Session *>(data);
            // Newer KWin also announces each window with its uuid; that one is taken there.
            if (session->plasmaVersion >= 13)
                return;
            addPlasmaWindow(session, org_kde_plasma_window_management_get_window(management, id));
        },
    .stacking_order_changed = [](void *, org_kde_plasma_window_management *, wl_array *) {},
    .stacking_order_uuid_changed = [](void *, org_kde_plasma_window_management *, const char *) {},
    .window_with_uuid =
        [](void *data, org_kde_plasma_window_management *management, uint32_t, const char *uuid) {
            addPlasmaWindow(static_cast<Session *>(data),
                            org_kde_plasma_window_management_get_window_by_uuid(management, uuid));
        },
};

const wl_registry_listener registryListener = {
    .global =
        [](void *data, wl_registry *registry, uint32_t name, const char *interface,
           uint32_t version) {
            auto *session = static_cast<Session *>(data);
            if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0 &&
                !session->wlr) {
                session->wlr = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
                    wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                                     std::min(version, kWlrVersion)));
                zwlr_foreign_toplevel_manager_v1_add_listener(session->wlr, &wlrManagerListener,
                                                              session);
            } else if (std::strcmp(interface, org_kde_plasma_window_management_interface.name) ==
                           0 &&
                       !session->plasma) {
                session->plasmaVersion = std::min(version, kPlasmaVersion);
                session->plasma = static_cast<org_kde_plasma_window_management *>(
                    wl_registry_bind(registry, name, &org_kde_plasma_window_management_interface,
                                     session->plasmaVersion));
                org_kde_plasma_window_management_add_listener(session->plasma,
                                                              &plasmaManagementListener, session);
            }
        },
    .global_remove = [](void *, wl_registry *, uint32_t) {},
};

} // namespace

WaylandToplevels::Result WaylandToplevels::collect(const QByteArray &display, int timeoutMs)
{
    Result result;
    Session session;
    session.timeoutMs = timeoutMs;
    session.clock.start();
    session.display = wl_display_connect(display.isEmpty() ? nullptr : display.constData());
    if (!session.display) {
        result.error = QStringLiteral("no Wayland compositor at \"%1\"")
                           .arg(QString::fromLocal8Bit(
                               display.isEmpty() ? qgetenv("WAYLAND_DISPLAY") : display));
        return result;
    }
    session.registry = wl_display_get_registry(session.display);
    wl_registry_add_listener(session.registry, &registryListener, &session);
    // The globals; then the windows the bound list sends; then what each window tells.
    const bool answered = session.roundtrip() && session.roundtrip() && session.roundtrip();
    if (!session.wlr && !session.plasma) {
        result.error = answered ? QStringLiteral("the compositor offers no window list")
                                : QStringLiteral("the compositor did not answer in time");
        return result;
    }
    result.protocol = session.wlr ? QStringLiteral("wlr-foreign-toplevel")
                                  : QStringLiteral("plasma-window-management");
    if (!answered)
        result.error = QStringLiteral("the compositor did not answer in time");
    for (const auto &toplevel : session.toplevels) {
        if (toplevel->closed)
            continue;
        result.windows.titles << toplevel->title;
        if (!toplevel->appId.isEmpty())
            result.windows.appIds << toplevel->appId;
        if (toplevel->pid > 0)
            result.windows.pids << toplevel->pid;
    }
    return result;
}
