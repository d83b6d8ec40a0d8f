#include "control/windowplacement.h"

#include <gtest/gtest.h>

using namespace lumo;

namespace {

const QRect screen(0, 0, 1280, 800);
// A 400x300 window centred on the screen.
const QRect centred(440, 250, 400, 300);

struct PlaceCase
{
    const char *name;
    QRect owner;    // the main window's frame
    QRect controls; // its menu, tool bar and places
    QRect wanted;
    QPoint expected;
};

} // namespace

TEST(PlaceClearOf, KeepsTheMainWindowUncovered)
{
    const PlaceCase cases[] = {
        {"centre is clear", QRect(0, 0, 345, 463), QRect(0, 0, 345, 150), centred, centred.topLeft()},
        {"centred main: right of it", QRect(467, 168, 345, 463), QRect(467, 168, 345, 150), centred,
         QPoint(467 + 345 + 4, 168)},
        {"main at the right: left of it", QRect(800, 100, 345, 463), QRect(800, 100, 345, 150), centred,
         QPoint(800 - 4 - 400, 100)},
        {"beside, moved up to stay on the screen", QRect(700, 520, 345, 280), QRect(700, 520, 345, 100),
         centred, QPoint(700 - 4 - 400, 800 - 300)},
        {"wide main: below it", QRect(0, 0, 1280, 400), QRect(0, 0, 1280, 150), centred, QPoint(440, 404)},
        {"wide main low down: above it", QRect(0, 400, 1280, 400), QRect(0, 400, 1280, 150), centred,
         QPoint(440, 400 - 4 - 300)},
        {"main fills the screen: under its controls", QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 150), centred,
         QPoint(440, 154)},
        {"under the controls, kept on the screen sideways", QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 150),
         QRect(1000, 250, 400, 300), QPoint(880, 154)},
    };
    for (const PlaceCase &c : cases) {
        const QPoint at = PlaceClearOf(c.wanted, c.owner, c.controls, screen);
        EXPECT_EQ(at, c.expected) << c.name;
        EXPECT_FALSE(QRect(at, c.wanted.size()).intersects(c.controls)) << c.name;
    }
}

TEST(FitOnScreen, ShrinksAndMovesUpButNotUnderTheMinimum)
{
    struct Case
    {
        const char *name;
        QRect frame;
        int minimum;
        QRect available;
        QRect expected;
    };
    const QRect screen400(0, 0, 640, 400); // 800 pixels at twice the scale
    const Case cases[] = {
        {"fits already", QRect(10, 20, 345, 463), 300, QRect(0, 0, 1280, 800), QRect(10, 20, 345, 463)},
        {"too tall: the screen's height", QRect(10, 20, 345, 490), 300, screen400, QRect(10, 0, 345, 400)},
        {"the minimum wins over the screen", QRect(10, 20, 345, 490), 420, screen400, QRect(10, 0, 345, 420)},
        {"low down: moved up", QRect(10, 300, 345, 300), 200, screen400, QRect(10, 100, 345, 300)},
        {"above the screen: moved down", QRect(10, -50, 345, 300), 200, QRect(0, 30, 640, 370),
         QRect(10, 30, 345, 300)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FitOnScreen(c.frame, c.minimum, c.available), c.expected) << c.name;
}
