// The completion sound plays every time it is asked to: each repeat while the completion message
// is open, and the sound test afterwards. Judged by the player's own reports, not by our count
// of requests.
#include "ui/completionsound.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>

using namespace lumo;

namespace {

// Runs events until the player has reported `count` starts (bounded).
bool startedAtLeast(const CompletionSound &sound, int count)
{
    QElapsedTimer clock;
    clock.start();
    while (sound.startedCount() < count && clock.elapsed() < 10000)
        QTest::qWait(10);
    return sound.startedCount() >= count;
}

} // namespace

TEST(CompletionSound, EveryPlayIsPlayed)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(LUMO_TEST_SOURCE_DIR "/../data")); // where Done.wav is found last
    CompletionSound sound;
    QDir::setCurrent(before);
    ASSERT_FALSE(sound.soundFile().isEmpty());

    // Ten plays in a row, as ten repeats of a long-open completion message.
    for (int i = 1; i <= 10; ++i) {
        sound.playOnce();
        ASSERT_TRUE(startedAtLeast(sound, i)) << "play " << i << " was dropped";
    }
    // A completion's repeats, then the sound test: still heard.
    sound.start(1);
    ASSERT_TRUE(startedAtLeast(sound, 11));
    sound.stop();
    sound.playOnce();
    EXPECT_TRUE(startedAtLeast(sound, 12));
    EXPECT_EQ(sound.playCount(), 12);
}
