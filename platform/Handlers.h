#pragma once

#include "platform/ErrorBox.h"

#include <QAbstractButton>

// Binds a button's click to a handler; the handler runs inside the error guard, so an
// error ends it and reaches the user in the error box.
template <class Handler>
void bindClick(QAbstractButton* button, QObject* context, Handler handler) {
    QObject::connect(button, &QAbstractButton::clicked, context,
                     [handler] { guarded([&] { handler(); }); });
}

// The same for any signal of any sender.
template <class Sender, class Signal, class Handler>
void bindEvent(Sender* sender, Signal signal, QObject* context, Handler handler) {
    QObject::connect(sender, signal, context, [handler] { guarded([&] { handler(); }); });
}
