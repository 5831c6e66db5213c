// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/X11WindowTitles.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace realsession;

namespace {

// A second X client that makes windows with exactly the properties a test needs.
class WindowMaker
{
public:
    WindowMaker()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~WindowMaker() { xcb_disconnect(m_connection); }

    bool ok() const { return !xcb_connection_has_error(m_connection); }

    xcb_window_t create()
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }
    void setUtf8Name(xcb_window_t window, const QString &title)
    {
        const QByteArray bytes = title.toUtf8();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"),
                            atom("UTF8_STRING"), 8, bytes.size(), bytes.constData());
    }
    void setStringName(xcb_window_t window, const QByteArray &title, bool net = false)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window,
                            net ? atom("_NET_WM_NAME") : xcb_atom_t(XCB_ATOM_WM_NAME),
                            XCB_ATOM_STRING, 8, title.size(), title.constData());
    }
    void map(xcb_window_t window) { xcb_map_window(m_connection, window); }
    // What a program does to minimize itself: ask the window manager for IconicState.
    void iconify(xcb_window_t window)
    {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("WM_CHANGE_STATE");
        event.data.data32[0] = 3; // IconicState
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
    }
    // The window's WM_STATE as the window manager set it (1 normal, 3 iconic, 0 none).
    uint32_t wmState(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, atom("WM_STATE"), XCB_ATOM_ANY, 0, 2),
            nullptr);
        uint32_t state = 0;
        if (reply && xcb_get_property_value_length(reply) >= 4)
            state = *static_cast<const uint32_t *>(xcb_get_property_value(reply));
        std::free(reply);
        return state;
    }
    void sync()
    {
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

private:
    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = 0;
};

} // namespace

// The window title backend against a real X server with a real window manager.
class X11TitlesRealTest : public QObject
{
    Q_OBJECT

private slots:
    void seesEveryKindOfTopLevelWindowFromTheTop()
    {
        SKIP_UNLESS(missingX11());
        SKIP_UNLESS(missingOpenbox());
        WindowMaker maker;
        QVERIFY(maker.ok());

        const xcb_window_t below = maker.create();
        maker.setUtf8Name(below, QStringLiteral("无标题 - 记事本"));
        maker.map(below);
        const xcb_window_t never = maker.create();
        maker.setUtf8Name(never, QStringLiteral("从未显示的窗口"));
        const xcb_window_t latin1 = maker.create();
        maker.setStringName(latin1, QByteArray("Caf\xe9 ancien"));
        maker.map(latin1);
        // UTF-8 labelled STRING, as xdotool and some toolkits write it.
        const xcb_window_t mislabelled = maker.create();
        maker.setStringName(mislabelled, QStringLiteral("计算器").toUtf8(), true);
        maker.map(mislabelled);
        const xcb_window_t oldStyle = maker.create();
        maker.setStringName(oldStyle, QStringLiteral("画图").toUtf8());
        const xcb_window_t untitled = maker.create();
        maker.map(untitled);
        const xcb_window_t iconic = maker.create();
        maker.setUtf8Name(iconic, QStringLiteral("最小化的 QQ"));
        maker.map(iconic);
        const QString longTitle = QString(300, QChar(u'长'));
        const xcb_window_t longOne = maker.create();
        maker.setUtf8Name(longOne, longTitle);
        maker.map(longOne);
        maker.sync();
        // Mapped windows get a frame from the window manager; then minimize one.
        QTRY_COMPARE_WITH_TIMEOUT(maker.wmState(iconic), 1u, 15000);
        maker.iconify(iconic);
        maker.sync();
        QTRY_COMPARE_WITH_TIMEOUT(maker.wmState(iconic), 3u, 15000);

        QWidget own;
        own.setWindowTitle(QStringLiteral("澄岭文字录入测试系统客户端"));
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));

        X11WindowTitles service;
        const QStringList titles = service.titles();
        for (const QString &expected :
             {QStringLiteral("无标题 - 记事本"), QStringLiteral("从未显示的窗口"),
              QStringLiteral("Café ancien"), QStringLiteral("计算器"), QStringLiteral("画图"),
              QStringLiteral("最小化的 QQ"), longTitle,
              QStringLiteral("澄岭文字录入测试系统客户端")})
            QVERIFY2(titles.contains(expected),
                     qPrintable(expected + QStringLiteral(" not in ") + titles.join(u'|')));
        // Our own window was shown last, so it is above the notepad window.
        QVERIFY(titles.indexOf(QStringLiteral("澄岭文字录入测试系统客户端")) <
                titles.indexOf(QStringLiteral("无标题 - 记事本")));
        QVERIFY(titles.indexOf(longTitle) < titles.indexOf(QStringLiteral("无标题 - 记事本")));
        // A window without a title is there, with an empty one.
        QVERIFY(titles.contains(QString()));
    }

    void withoutAnXServerFindsNothingAndSaysSoOnce()
    {
        X11WindowTitles service(":4711");
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("No X server at \":4711\"")));
        QVERIFY(service.titles().isEmpty());
        QTest::failOnWarning(QRegularExpression(QStringLiteral("No X server")));
        QVERIFY(service.titles().isEmpty());
    }
};

CLIENT_TEST(X11TitlesRealTest)
#include "tst_x11titles.moc"
