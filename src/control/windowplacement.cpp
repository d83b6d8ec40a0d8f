#include "control/windowplacement.h"

#include <QtGlobal>

namespace lumo {

namespace {
// Room between the two windows' frames.
constexpr int gap = 4;

// `rect` moved into the screen along y only, top edge first.
QRect clampVertically(QRect rect, const QRect &screen)
{
    if (rect.bottom() > screen.bottom())
        rect.moveBottom(screen.bottom());
    if (rect.top() < screen.top())
        rect.moveTop(screen.top());
    return rect;
}
} // namespace

QPoint PlaceClearOf(const QRect &wanted, const QRect &owner, const QRect &controls, const QRect &screen)
{
    if (screen.contains(wanted) && !wanted.intersects(owner))
        return wanted.topLeft();

    QRect right = wanted;
    right.moveTopLeft({owner.right() + 1 + gap, owner.top()});
    QRect left = wanted;
    left.moveTopRight({owner.left() - 1 - gap, owner.top()});
    QRect below = wanted;
    below.moveTop(owner.bottom() + 1 + gap);
    QRect above = wanted;
    above.moveBottom(owner.top() - 1 - gap);
    for (const QRect &candidate :
         {clampVertically(right, screen), clampVertically(left, screen), below, above}) {
        if (screen.contains(candidate) && !candidate.intersects(owner))
            return candidate.topLeft();
    }

    // No room beside: the log and the gauge may be covered, the controls not.
    QRect under = wanted;
    under.moveTop(controls.bottom() + 1 + gap);
    if (under.right() > screen.right())
        under.moveRight(screen.right());
    if (under.left() < screen.left())
        under.moveLeft(screen.left());
    return under.topLeft();
}

QRect FitOnScreen(const QRect &frame, int minimumHeight, const QRect &available)
{
    QRect fitted = frame;
    fitted.setHeight(qMax(minimumHeight, qMin(frame.height(), available.height())));
    if (fitted.bottom() > available.bottom())
        fitted.moveBottom(available.bottom());
    if (fitted.top() < available.top())
        fitted.moveTop(available.top());
    return fitted;
}

} // namespace lumo
