#pragma once

#include <QStringList>

class QWidget;

namespace orbisk::test {

// What a user would see wrong in a shown window, one line per fault; empty when
// none. Looks at every visible child of the window (not at separate windows such
// as popups):
// - a text that does not fit its label, button or check box (a wrapped label whose
//   lines need more height than it has counts as cut too);
// - a text or a control that reaches outside the window;
// - a text, or a check box as wide as it wants to be, that touches the window's
//   frame: it must end kFrameGap pixels inside each edge;
// - a button with no text and no accessible name (a screen reader says only "button");
// - a text that leaves no mark in the window's grab (drawn in the background
//   colour, covered, or not drawn at all), and a grab of a single colour.
// The window must be shown, so that style sheets have given the controls their fonts.
// Each text is taken away for a moment to see what it adds to the grab.
QStringList layoutFaults(QWidget* window);

// The free pixels a text keeps from each edge of its window.
constexpr int kFrameGap = 8;

} // namespace orbisk::test
