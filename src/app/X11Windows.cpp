#include "X11Windows.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace mailvane::app {
namespace {

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// The property's bytes, at most `limit` of them; nothing when it is not set.
std::optional<QByteArray> readProperty(xcb_connection_t* connection, xcb_window_t window,
                                       xcb_atom_t property, xcb_atom_t type, uint32_t limit)
{
    if (property == XCB_ATOM_NONE)
        return std::nullopt;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, property, type, 0, (limit + 3) / 4);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply)
        return std::nullopt;
    std::optional<QByteArray> value;
    if (reply->type != XCB_ATOM_NONE) {
        const int length = xcb_get_property_value_length(reply);
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           std::min<int>(length, static_cast<int>(limit)));
    }
    std::free(reply);
    return value;
}

// Top-level windows, topmost first.
std::vector<xcb_window_t> topLevelWindows(xcb_connection_t* connection, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    const xcb_atom_t stacking = atom(connection, "_NET_CLIENT_LIST_STACKING");
    if (const auto list = readProperty(connection, root, stacking, XCB_ATOM_WINDOW, 65536 * 4);
        list && !list->isEmpty()) {
        const auto* ids = reinterpret_cast<const xcb_window_t*>(list->constData());
        windows.assign(ids, ids + list->size() / sizeof(xcb_window_t));
    } else {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            windows.assign(children, children + xcb_query_tree_children_length(tree));
            std::free(tree);
        }
    }
    // Both lists run from the bottom of the stack to the top.
    std::reverse(windows.begin(), windows.end());
    return windows;
}

xcb_window_t rootWindow(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    return xcb_setup_roots_iterator(setup).data->root;
}

bool supports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t feature)
{
    const xcb_atom_t supported = atom(connection, "_NET_SUPPORTED");
    const auto list = readProperty(connection, root, supported, XCB_ATOM_ATOM, 4096 * 4);
    if (!list || feature == XCB_ATOM_NONE)
        return false;
    const auto* atoms = reinterpret_cast<const xcb_atom_t*>(list->constData());
    return std::find(atoms, atoms + list->size() / sizeof(xcb_atom_t), feature) !=
           atoms + list->size() / sizeof(xcb_atom_t);
}

} // namespace

std::optional<unsigned> findX11Window(const QByteArray& title)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const xcb_window_t root = rootWindow(connection);
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    for (xcb_window_t window : topLevelWindows(connection, root)) {
        std::optional<QByteArray> text =
            readProperty(connection, window, netWmName, utf8, WindowTextLimit);
        if (!text)
            text = readProperty(connection, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY,
                                WindowTextLimit);
        if (text && *text == title)
            return window;
    }
    return std::nullopt;
}

void activateX11Window(unsigned window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const xcb_window_t root = rootWindow(connection);
    const xcb_atom_t activeWindow = atom(connection, "_NET_ACTIVE_WINDOW");
    if (supports(connection, root, activeWindow)) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = activeWindow;
        event.data.data32[0] = 1; // a request from an application
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    }
    xcb_flush(connection);
}

bool hasX11Connection()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && x11Connection();
}

} // namespace mailvane::app
