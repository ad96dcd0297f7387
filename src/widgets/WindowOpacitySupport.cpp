#include "WindowOpacitySupport.h"

#include <QGuiApplication>

#ifdef MAILVANE_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#endif

namespace mailvane::widgets {
namespace {

#ifdef MAILVANE_HAVE_XCB
bool compositorRunning()
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static const char name[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
#else
    return false;
#endif
}
#endif

} // namespace

bool WindowOpacitySupport::available()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("windows") || platform == QLatin1String("cocoa"))
        return true;
#ifdef MAILVANE_HAVE_XCB
    if (platform == QLatin1String("xcb"))
        return compositorRunning();
#endif
    return false;
}

} // namespace mailvane::widgets
