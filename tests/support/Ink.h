#pragma once

class QString;
class QWidget;

// How many pixel columns of a widget's rendering hold ink (any colour but its background).
int inkWidth(QWidget* widget);
// The same for a text drawn whole, uncut, in the widget's font and text colour.
int inkWidth(QWidget* widget, const QString& text);
