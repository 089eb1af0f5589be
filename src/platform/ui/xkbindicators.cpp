#include "platform/ui/xkbindicators.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <memory>

#include <xcb/xcb.h>
// The XKB header names a member "explicit", which C++ reserves.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

namespace {

struct CFreeReply
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T>
using CReply = std::unique_ptr<T, CFreeReply>;

xcb_atom_t InternAtom(xcb_connection_t *pConn, const char *pszName)
{
    // Made when missing: a keymap loaded later may name the indicator.
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(pConn, 0, static_cast<std::uint16_t>(std::strlen(pszName)), pszName);
    CReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(pConn, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_xkb_get_named_indicator_cookie_t AskIndicator(xcb_connection_t *pConn, xcb_atom_t atom)
{
    return xcb_xkb_get_named_indicator(pConn, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_LED_CLASS_DFLT_XI_CLASS,
                                       XCB_XKB_ID_DFLT_XI_ID, atom);
}

bool IndicatorIsOn(xcb_connection_t *pConn, xcb_xkb_get_named_indicator_cookie_t cookie)
{
    // Errors are taken here, so that they never reach the toolkit's event
    // loop as stray warnings.
    xcb_generic_error_t *pError = nullptr;
    CReply<xcb_xkb_get_named_indicator_reply_t> reply(xcb_xkb_get_named_indicator_reply(pConn, cookie, &pError));
    std::free(pError);
    return reply && reply->found && reply->on;
}

} // namespace

std::function<CLockIndicators()> MakeXkbIndicatorReader()
{
    auto *pX11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *pConn = pX11 ? pX11->connection() : nullptr;
    if (!pConn)
        return {};
    const xcb_query_extension_reply_t *pExtension = xcb_get_extension_data(pConn, &xcb_xkb_id);
    if (!pExtension || !pExtension->present)
        return {};
    // The toolkit has announced itself to XKB on this connection already;
    // asking again costs one round trip and makes sure of it.
    CReply<xcb_xkb_use_extension_reply_t> use(xcb_xkb_use_extension_reply(
        pConn, xcb_xkb_use_extension(pConn, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported)
        return {};
    const xcb_atom_t atomScroll = InternAtom(pConn, "Scroll Lock");
    const xcb_atom_t atomKana = InternAtom(pConn, "Kana");
    if (atomScroll == XCB_ATOM_NONE || atomKana == XCB_ATOM_NONE)
        return {};
    return [pConn, atomScroll, atomKana] {
        // All questions go out before any answer is awaited.
        const xcb_xkb_get_named_indicator_cookie_t scroll = AskIndicator(pConn, atomScroll);
        const xcb_xkb_get_named_indicator_cookie_t kana = AskIndicator(pConn, atomKana);
        const xcb_xkb_get_state_cookie_t group = xcb_xkb_get_state(pConn, XCB_XKB_ID_USE_CORE_KBD);
        CLockIndicators state;
        state.bScrollLock = IndicatorIsOn(pConn, scroll);
        state.bKanaLock = IndicatorIsOn(pConn, kana);
        xcb_generic_error_t *pError = nullptr;
        CReply<xcb_xkb_get_state_reply_t> reply(xcb_xkb_get_state_reply(pConn, group, &pError));
        std::free(pError);
        if (reply)
            state.nGroup = reply->group;
        return state;
    };
}
