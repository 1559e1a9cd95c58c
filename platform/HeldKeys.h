#pragma once

// A key held down repeats. On X11 each repeat is a release and a press with one
// timestamp, and the toolkit marks the pair as a repeat only when the press is already
// waiting as it handles the release; on a busy machine it often is not, and the repeat
// arrives as a release and a fresh press like any tap. Enter and Space act on a button as
// they come up, so such a pair would press the button in the middle of the hold, and its
// press would answer the box that the button opens.
//
// So the widgets get Enter and Space as the key really goes. A release of either is held
// back until the events already queued behind it have been handled. If a press of the
// same key with the same timestamp has come by then, the two are delivered as a repeat.
// Otherwise the release goes as it came, unless the X server still holds the key down:
// then the pair's press is still on its way through the toolkit, and the release is a
// repeat as well. A press with the timestamp of a release that went without its press
// is a repeat whenever it comes. A release without a timestamp (one the program or a
// test makes up) cannot be half of a repeat and goes through at once.
//
// Installs this for the whole application; calling it again changes nothing.
void watchHeldKeys();
