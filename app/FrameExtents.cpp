// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrameExtents.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace tavik {

#if QT_CONFIG(xcb)

namespace {

// A window manager that answers at all answers within milliseconds; one that
// does not must not hold the window back for long.
constexpr auto kAnswerTime = std::chrono::milliseconds(200);
constexpr auto kPollInterval = std::chrono::microseconds(500);

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

enum Atom { kSupportingWmCheck, kSupported, kRequestFrameExtents, kFrameExtents, kAtomCount };

struct Atoms {
    xcb_atom_t atom[kAtomCount] = {};
};

Atoms InternAtoms(xcb_connection_t* c) {
    static const char* const names[kAtomCount] = {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED",
                                                  "_NET_REQUEST_FRAME_EXTENTS",
                                                  "_NET_FRAME_EXTENTS"};
    xcb_intern_atom_cookie_t cookies[kAtomCount];
    for (int i = 0; i < kAtomCount; ++i)
        cookies[i] =
            xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    Atoms atoms;
    for (int i = 0; i < kAtomCount; ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        if (reply) atoms.atom[i] = reply->atom;
    }
    return atoms;
}

// The first value of a WINDOW property, or 0.
xcb_window_t WindowProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

// Whether a running EWMH window manager says it answers frame-extents
// requests. The check window must name itself, or it was left behind by a
// window manager that has gone.
bool WindowManagerAnswers(xcb_connection_t* c, xcb_window_t root, const Atoms& atoms) {
    const auto check =
        xcb_get_property(c, 0, root, atoms.atom[kSupportingWmCheck], XCB_ATOM_WINDOW, 0, 1);
    const auto supported =
        xcb_get_property(c, 0, root, atoms.atom[kSupported], XCB_ATOM_ATOM, 0, 4096);
    const xcb_window_t wm = WindowProperty(c, check);
    Reply<xcb_get_property_reply_t> list(xcb_get_property_reply(c, supported, nullptr));
    if (!wm || !list || list->type != XCB_ATOM_ATOM || list->format != 32) return false;
    const auto self =
        xcb_get_property(c, 0, wm, atoms.atom[kSupportingWmCheck], XCB_ATOM_WINDOW, 0, 1);
    if (WindowProperty(c, self) != wm) return false;
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(list.get()));
    const auto* end = begin + xcb_get_property_value_length(list.get()) / 4;
    for (const auto* a = begin; a != end; ++a)
        if (*a == atoms.atom[kRequestFrameExtents]) return true;
    return false;
}

} // namespace

FrameExtentsRequest::FrameExtentsRequest(const QWindow& window) {
    xcb_connection_t* c = Connection();
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto tree = xcb_query_tree(c, id);
    const Atoms atoms = InternAtoms(c);
    Reply<xcb_query_tree_reply_t> where(xcb_query_tree_reply(c, tree, nullptr));
    if (!where) return;
    for (const xcb_atom_t atom : atoms.atom)
        if (atom == XCB_ATOM_NONE) return;
    if (!WindowManagerAnswers(c, where->root, atoms)) return;

    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atoms.atom[kRequestFrameExtents];
    xcb_send_event(c, 0, where->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(c);
    window_ = id;
    frameExtents_ = atoms.atom[kFrameExtents];
}

// Qt reads the connection's events on a thread of its own, so the answer, a
// property on the window, is looked for rather than waited for as an event.
std::optional<QMargins> FrameExtentsRequest::Answer() {
    xcb_connection_t* c = Connection();
    if (!c || !window_) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
    for (;;) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window_, frameExtents_, XCB_ATOM_CARDINAL, 0, 4), nullptr));
        if (reply && reply->type == XCB_ATOM_CARDINAL && reply->format == 32 &&
            xcb_get_property_value_length(reply.get()) == 16) {
            // left, right, top, bottom
            const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
            return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                            static_cast<int>(v[3]));
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
}

#else

FrameExtentsRequest::FrameExtentsRequest(const QWindow&) {}
std::optional<QMargins> FrameExtentsRequest::Answer() {
    return std::nullopt;
}

#endif

} // namespace tavik
