#include "platform/ScreenCentring.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

ScreenCentring::ScreenCentring(QWidget& window)
    : window_(window) {}

QPoint ScreenCentring::centredPosition(QSize outerSize) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    return {area.x() + std::max(0, (area.width() - outerSize.width()) / 2),
            area.y() + std::max(0, (area.height() - outerSize.height()) / 2)};
}

// The frame around the window. A window manager takes a window's frame away when the
// window is hidden and builds it anew when it is shown again; until then the toolkit
// reports no frame (or for a moment one smaller than the window). A window once framed
// keeps the frame it was last seen with, so a window shown again is never centred as if
// it had none while the window manager frames it.
QMargins ScreenCentring::frame() {
    const QWindow* native = window_.windowHandle();
    const QMargins margins = native ? native->frameMargins() : QMargins();
    const bool whole =
        margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
    if (whole && !margins.isNull())
        lastFrame_ = margins;
    return lastFrame_;
}

// Puts the window's frame in the middle of the screen. The window itself is placed, so
// that no other idea of the frame than this one takes part.
void ScreenCentring::place() {
    centredWith_ = frame();
    centredFor_ = window_.size();
    const QPoint corner = centredPosition(centredFor_.grownBy(centredWith_));
    window_.setGeometry(
        QRect(corner + QPoint(centredWith_.left(), centredWith_.top()), window_.size()));
}

void ScreenCentring::centre() {
    place();
    following_ = true;
    if (QWindow* native = window_.windowHandle())
        native->installEventFilter(this);
}

bool ScreenCentring::eventFilter(QObject* watched, QEvent* event) {
    if (!following_ || !window_.isVisible())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
        following_ = false;
        break;
    case QEvent::Expose:
    case QEvent::Resize:
    case QEvent::Move:
        if (frame() != centredWith_ || window_.size() != centredFor_)
            place();
        // Framed and on the screen: from now on a change of size is the user's.
        if (!centredWith_.isNull() && window_.windowHandle()->isExposed())
            following_ = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
