#include "platform/HeldKeys.h"

#include "platform/EnterKey.h"

#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <utility>

namespace {

// The keys that press a button, which acts as they come up.
bool pressesButtons(const QKeyEvent& key) {
    return isEnter(key) || key.key() == Qt::Key_Space;
}

// The same key event, as a repeat of the key held down.
std::unique_ptr<QKeyEvent> asRepeat(const QKeyEvent& key) {
    auto repeat = std::make_unique<QKeyEvent>(
        key.type(), key.key(), key.modifiers(), key.nativeScanCode(), key.nativeVirtualKey(),
        key.nativeModifiers(), key.text(), true, key.count(), key.device());
    repeat->setTimestamp(key.timestamp());
    return repeat;
}

// Whether the X server holds the key of the event down at this moment; false where the
// program does not run on X11. A repeat's press may still be on its way through the
// toolkit when every event it has queued has been handled, but the server counts the key
// as down: it never let go of it.
bool heldDownOnX11(const QKeyEvent& key) {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    const quint32 keycode = key.nativeScanCode();
    if (!x11 || keycode == 0 || keycode > 255)
        return false;
    xcb_connection_t* connection = x11->connection();
    xcb_query_keymap_reply_t* keymap =
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
    if (!keymap)
        return false;
    const bool down = keymap->keys[keycode / 8] & (1u << (keycode % 8));
    std::free(keymap);
    return down;
}

class HeldKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event == delivering_ || !watched->isWidgetType() ||
            (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (!pressesButtons(key) || key.isAutoRepeat() || key.timestamp() == 0)
            return false;
        if (key.type() == QEvent::KeyRelease) {
            holdBack(watched, key);
            return true;
        }
        if (takeHeldRelease(watched, key))
            return true;
        if (repeatedPresses_.value(key.key()) == key.timestamp()) {
            repeatedPresses_.remove(key.key());
            deliver(watched, *asRepeat(key));
            return true;
        }
        // A new press: the releases held back came before it, and those of its own key
        // were real, or its repeated press would have come first.
        decide(key.key());
        return false;
    }

private:
    struct Release {
        QPointer<QObject> receiver;
        std::unique_ptr<QKeyEvent> event;
    };

    // Keeps the release until the events queued behind it have been handled.
    void holdBack(QObject* receiver, const QKeyEvent& key) {
        held_.push_back({receiver, std::unique_ptr<QKeyEvent>(key.clone())});
        if (decisionQueued_)
            return;
        decisionQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                decisionQueued_ = false;
                decide();
            },
            Qt::QueuedConnection);
    }

    // The press that follows a held release of its key with its timestamp: the pair is
    // a repeat.
    bool takeHeldRelease(QObject* receiver, const QKeyEvent& press) {
        for (auto release = held_.begin(); release != held_.end(); ++release) {
            const QKeyEvent& key = *release->event;
            if (key.key() != press.key() || key.timestamp() != press.timestamp())
                continue;
            Release repeated{release->receiver, asRepeat(key)};
            held_.erase(release);
            deliver(repeated.receiver, *repeated.event);
            deliver(receiver, *asRepeat(press));
            return true;
        }
        return false;
    }

    // Delivers the releases held back, in order; no press of their own followed them.
    // A release whose key the window system still holds down is a repeat all the same,
    // and so is the press that comes for it later; a release of the key pressed anew
    // (pressedAgain) is real. Whatever the release, a press with its timestamp can only
    // be a repeat. A release may open a box whose own event loop runs here, so each is
    // taken out before it goes.
    void decide(int pressedAgain = Qt::Key_unknown) {
        while (!held_.empty()) {
            Release release = std::move(held_.front());
            held_.pop_front();
            const QKeyEvent& key = *release.event;
            repeatedPresses_.insert(key.key(), key.timestamp());
            if (key.key() != pressedAgain && heldDownOnX11(key))
                deliver(release.receiver, *asRepeat(key));
            else
                deliver(release.receiver, *release.event);
        }
    }

    void deliver(QObject* receiver, QKeyEvent& event) {
        if (!receiver)
            return;
        const QEvent* outer = std::exchange(delivering_, &event);
        QCoreApplication::sendEvent(receiver, &event);
        delivering_ = outer;
    }

    std::deque<Release> held_;
    bool decisionQueued_ = false;
    // For each key, the timestamp of its last release that went without its press: a
    // press with that timestamp is a repeat.
    QHash<int, quint64> repeatedPresses_;
    // The event the filter itself is delivering, which it lets pass.
    const QEvent* delivering_ = nullptr;
};

} // namespace

void watchHeldKeys() {
    static QPointer<HeldKeyFilter> filter;
    if (filter)
        return;
    QCoreApplication* application = QCoreApplication::instance();
    filter = new HeldKeyFilter(application);
    application->installEventFilter(filter);
}
