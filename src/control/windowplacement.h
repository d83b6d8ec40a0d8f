#pragma once

#include <QPoint>
#include <QRect>

namespace lumo {

// Where a window that stays above the others opens, so that it hides none of the main
// window's controls: where it would go (`wanted`, frame rectangle) if that is clear of the
// main window (`owner`); else beside it, right, left, below or above, whichever fits on the
// screen; else just below the main window's `controls` (menu, tool bar, places).
QPoint PlaceClearOf(const QRect &wanted, const QRect &owner, const QRect &controls, const QRect &screen);

// A window's frame made to fit the screen's `available` rectangle as it opens: no taller
// than the screen (though not under `minimumHeight`), and moved up to show its bottom edge,
// never above the screen's top.
QRect FitOnScreen(const QRect &frame, int minimumHeight, const QRect &available);

} // namespace lumo
