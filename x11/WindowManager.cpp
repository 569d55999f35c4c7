// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowManager.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace tavik {

namespace {

// Where the platform is not X: what Qt offers.
void SetTopMostByQt(QWidget& window, bool topMost) {
    // overrideWindowFlags, unlike setWindowFlags, does not re-create the
    // window: it stays mapped and keeps its place.
    const Qt::WindowFlags flags = window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, topMost);
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle()) handle->setFlags(flags);
}

void ActivateByQt(QWidget& window) {
    window.raise();
    window.activateWindow();
}

} // namespace

#if QT_CONFIG(xcb)

namespace {

// A window manager that answers at all answers within a few milliseconds;
// one that lists the request but does not answer (fluxbox) holds the window
// back this long, and the frame it sets after mapping still corrects the
// place.
constexpr auto kAnswerTime = std::chrono::milliseconds(50);
constexpr auto kPollInterval = std::chrono::microseconds(500);

// A message from an application, as EWMH counts the sources of a request.
constexpr std::uint32_t kFromApplication = 1;
constexpr std::uint32_t kRemove = 0, kAdd = 1;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

enum Atom {
    kSupportingWmCheck,
    kSupported,
    kRequestFrameExtents,
    kFrameExtents,
    kWmState,
    kWmStateAbove,
    kActiveWindow,
    kAtomCount
};

// The first value of a WINDOW property, or 0.
xcb_window_t WindowProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

// The program's side of the conversation with the X window manager. Qt reads
// the connection on a thread of its own and hands every event to native
// event filters on the GUI thread; this one only watches, and takes none.
class X11Link : public QObject, public QAbstractNativeEventFilter {
public:
    // The link of the running application, made on first use and owned by
    // it (a filter leaves the event dispatcher as it goes); null where the
    // platform is not X.
    static X11Link* Get() {
        static QPointer<X11Link> link;
        if (!link) {
            const auto* x11 =
                qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
            if (x11 && x11->connection()) link = new X11Link(x11->connection());
        }
        return link;
    }

    bool Ready() const { return ready_; }

    // Whether a running EWMH window manager says it answers frame-extents
    // requests. The check window must name itself, or it was left behind by
    // a window manager that has gone.
    bool WindowManagerAnswersFrameRequests() const {
        const auto check =
            xcb_get_property(c_, 0, root_, atom_[kSupportingWmCheck], XCB_ATOM_WINDOW, 0, 1);
        const auto supported =
            xcb_get_property(c_, 0, root_, atom_[kSupported], XCB_ATOM_ATOM, 0, 4096);
        const xcb_window_t wm = WindowProperty(c_, check);
        Reply<xcb_get_property_reply_t> list(xcb_get_property_reply(c_, supported, nullptr));
        if (!wm || !list || list->type != XCB_ATOM_ATOM || list->format != 32) return false;
        const auto self =
            xcb_get_property(c_, 0, wm, atom_[kSupportingWmCheck], XCB_ATOM_WINDOW, 0, 1);
        if (WindowProperty(c_, self) != wm) return false;
        const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(list.get()));
        const auto* end = begin + xcb_get_property_value_length(list.get()) / 4;
        return std::find(begin, end, atom_[kRequestFrameExtents]) != end;
    }

    // The frame (left, top, right, bottom) the window manager has set on
    // `window`, if any.
    std::optional<QMargins> Frame(xcb_window_t window) const {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window, atom_[kFrameExtents], XCB_ATOM_CARDINAL, 0, 4),
            nullptr));
        if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32 ||
            xcb_get_property_value_length(reply.get()) != 16)
            return std::nullopt;
        // left, right, top, bottom
        const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                        static_cast<int>(v[3]));
    }

    // A client message about `window` to the window manager.
    void Tell(xcb_window_t window, enum Atom type, std::array<std::uint32_t, 5> data) const {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom_[type];
        std::memcpy(message.data.data32, data.data(), sizeof message.data.data32);
        xcb_send_event(c_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(c_);
    }

    void TellAbove(xcb_window_t window, bool above) const {
        Tell(window, kWmState,
             {above ? kAdd : kRemove, atom_[kWmStateAbove], 0, kFromApplication, 0});
    }

    void TellActivate(xcb_window_t window, xcb_window_t from) const {
        Tell(window, kActiveWindow, {kFromApplication, lastInput_, from, 0, 0});
    }

    void WatchFrame(QWidget& window, const QMargins& placedFor,
                    std::function<void(const QMargins&)> place) {
        frame_ = {static_cast<xcb_window_t>(window.winId()), &window, placedFor,
                  window.geometry().topLeft(), std::move(place)};
    }

protected:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
            lastInput_ = reinterpret_cast<const xcb_key_press_event_t*>(event)->time;
            break;
        case XCB_GE_GENERIC:
            NoteExtendedInput(*reinterpret_cast<const xcb_ge_generic_event_t*>(event));
            break;
        case XCB_MAP_NOTIFY:
            Mapped(reinterpret_cast<const xcb_map_notify_event_t*>(event)->window);
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (notify->window == frame_.window && notify->atom == atom_[kFrameExtents])
                CheckFrame(false);
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    explicit X11Link(xcb_connection_t* c) : QObject(QCoreApplication::instance()), c_(c) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        static const char* const names[kAtomCount] = {
            "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS",
            "_NET_FRAME_EXTENTS",       "_NET_WM_STATE",  "_NET_WM_STATE_ABOVE",
            "_NET_ACTIVE_WINDOW"};
        xcb_intern_atom_cookie_t cookies[kAtomCount];
        for (int i = 0; i < kAtomCount; ++i)
            cookies[i] =
                xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
        static const char kInput[] = "XInputExtension";
        const auto input = xcb_query_extension(c, sizeof kInput - 1, kInput);
        ready_ = true;
        for (int i = 0; i < kAtomCount; ++i) {
            Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
            atom_[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
            ready_ = ready_ && atom_[i] != XCB_ATOM_NONE;
        }
        Reply<xcb_query_extension_reply_t> extension(xcb_query_extension_reply(c, input, nullptr));
        if (extension && extension->present) inputOpcode_ = extension->major_opcode;
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    // Qt takes the pointer's clicks (and touches) as XInput 2 events; every
    // device event holds its time at byte 12.
    void NoteExtendedInput(const xcb_ge_generic_event_t& event) {
        enum { kKeyPress = 2, kKeyRelease = 3, kButtonPress = 4, kButtonRelease = 5 };
        enum { kTouchBegin = 18, kTouchEnd = 20 };
        if (!inputOpcode_ || event.extension != inputOpcode_) return;
        switch (event.event_type) {
        case kKeyPress:
        case kKeyRelease:
        case kButtonPress:
        case kButtonRelease:
        case kTouchBegin:
        case kTouchEnd:
            std::memcpy(&lastInput_, reinterpret_cast<const char*>(&event) + 12, sizeof lastInput_);
            break;
        default:
            break;
        }
    }

    // A program's window the window manager has just mapped: where it is to
    // be top-most, the manager is told now, as EWMH has it for a mapped
    // window. The frame it has set by now is the one it draws.
    void Mapped(xcb_window_t window) {
        const QWidget* widget = QWidget::find(window);
        if (widget && widget->isWindow() &&
            widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            TellAbove(window, true);
        if (window == frame_.window) CheckFrame(true);
    }

    // The frame's first appearance after mapping decides: where it differs
    // from the one the window was placed for, the window moves once. Once the
    // window is mapped with a frame the watch ends.
    void CheckFrame(bool mapped) {
        const std::optional<QMargins> frame = Frame(frame_.window);
        if (!frame) return;
        if (*frame != frame_.placedFor) {
            // Moved after the event has been handled: Qt is still in the
            // middle of delivering it.
            QTimer::singleShot(0, frame_.widget,
                               [widget = frame_.widget, placedAt = frame_.placedAt,
                                place = std::move(frame_.place), real = *frame] {
                                   if (widget && widget->geometry().topLeft() == placedAt)
                                       place(real);
                               });
            frame_ = {};
        } else if (mapped) {
            frame_ = {};
        }
    }

    struct FrameWatch {
        xcb_window_t window = XCB_WINDOW_NONE;
        QPointer<QWidget> widget;
        QMargins placedFor;
        QPoint placedAt;
        std::function<void(const QMargins&)> place;
    };

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t atom_[kAtomCount] = {};
    bool ready_ = false;
    std::uint8_t inputOpcode_ = 0;
    xcb_timestamp_t lastInput_ = XCB_CURRENT_TIME;
    FrameWatch frame_;
};

X11Link* ReadyLink() {
    X11Link* link = X11Link::Get();
    return link && link->Ready() ? link : nullptr;
}

} // namespace

FrameExtentsRequest::FrameExtentsRequest(const QWindow& window) {
    X11Link* link = ReadyLink();
    if (!link || !link->WindowManagerAnswersFrameRequests()) return;
    window_ = static_cast<xcb_window_t>(window.winId());
    link->Tell(window_, kRequestFrameExtents, {0, 0, 0, 0, 0});
}

// The answer is a property on the window; it is looked for rather than waited
// for as an event, which Qt's reading thread would take first.
std::optional<QMargins> FrameExtentsRequest::Answer() {
    X11Link* link = ReadyLink();
    if (!link || !window_) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
    for (;;) {
        if (const std::optional<QMargins> frame = link->Frame(window_)) return frame;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
}

void CorrectPlacementOnce(QWidget& window, const QMargins& placedFor,
                          std::function<void(const QMargins&)> place) {
    if (X11Link* link = ReadyLink()) link->WatchFrame(window, placedFor, std::move(place));
}

void SetTopMost(QWidget& window, bool topMost) {
    X11Link* link = ReadyLink();
    const Qt::WindowFlags flags = window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, topMost);
    if (link && window.isVisible()) {
        window.overrideWindowFlags(flags);
        link->TellAbove(static_cast<xcb_window_t>(window.winId()), topMost);
    } else if (link && !window.internalWinId()) {
        // Qt would write the state into the property as it maps the window,
        // and some managers (icewm) then keep the window top-most whatever
        // it asks later: the X window is made without it, and the manager
        // is told once it has mapped the window. (Changing Qt's flags of a
        // window made but not shown has Qt make it anew when it is shown.)
        window.overrideWindowFlags(flags & ~Qt::WindowStaysOnTopHint);
        window.winId();
        window.overrideWindowFlags(flags);
    } else {
        SetTopMostByQt(window, topMost);
    }
}

void Activate(QWidget& window, const QWidget* from) {
    X11Link* link = ReadyLink();
    if (!link) {
        ActivateByQt(window);
        return;
    }
    link->TellActivate(static_cast<xcb_window_t>(window.winId()),
                       from ? static_cast<xcb_window_t>(from->internalWinId())
                            : xcb_window_t{XCB_WINDOW_NONE});
}

#else

FrameExtentsRequest::FrameExtentsRequest(const QWindow&) {}
std::optional<QMargins> FrameExtentsRequest::Answer() {
    return std::nullopt;
}
void CorrectPlacementOnce(QWidget&, const QMargins&, std::function<void(const QMargins&)>) {}
void SetTopMost(QWidget& window, bool topMost) {
    SetTopMostByQt(window, topMost);
}
void Activate(QWidget& window, const QWidget*) {
    ActivateByQt(window);
}

#endif

} // namespace tavik
