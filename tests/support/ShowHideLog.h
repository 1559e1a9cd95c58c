#pragma once

#include <QEvent>
#include <QObject>
#include <QStringList>
#include <QWidget>

// Records the showing and hiding of the windows it watches, in order, as
// "show <caption>" and "hide <caption>"; the window system's own show and hide events
// (iconifying, say) are left out.
class ShowHideLog : public QObject {
public:
    QStringList entries;

    void watch(QWidget* window) { window->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && !event->spontaneous())
            entries << (type == QEvent::Show ? "show " : "hide ") +
                           static_cast<QWidget*>(watched)->windowTitle();
        return false;
    }
};
