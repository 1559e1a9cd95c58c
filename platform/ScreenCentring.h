#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>

class QWidget;

// Centres a top-level window or box on the primary screen by its outer size, frame
// included. Under a window manager the frame of a window is not known yet when the
// window is shown: it arrives after the window is mapped, and on the way the toolkit
// may report frames and sizes that are not the final ones. A window shown again keeps
// the frame it had, which the window manager takes away on a hide and builds anew. So
// until the window stands framed on the screen, each change of its frame or size centres
// it again; a move alone never does. From then on, or once the user has clicked or typed
// into the window, the window is left to the user (moved or resized, it stays so) until
// it is shown again.
class ScreenCentring : public QObject {
    Q_OBJECT

public:
    explicit ScreenCentring(QWidget& window);

    // Centres the window; call it when the window is shown.
    void centre();

    // Where a window of this outer size stands centred on the primary screen.
    static QPoint centredPosition(QSize outerSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMargins frame();
    void place();

    QWidget& window_;
    bool following_ = false;
    QMargins lastFrame_;
    QMargins centredWith_;
    QSize centredFor_;
};
