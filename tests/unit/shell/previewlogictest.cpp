#include "shell/previewlogic.h"

#include <gtest/gtest.h>

using namespace lumo::preview;

TEST(PreviewLogic, PictureKeepsItsAspectAndIsCentred)
{
    // A 320 x 240 picture in a 400 x 200 area becomes 266 x 200 at left 67, top 0.
    EXPECT_EQ(fitPicture(QRect(0, 0, 320, 240), QSize(400, 200), 320.0 / 240.0), QRect(67, 0, 266, 200));
    // A larger area: the picture grows to the area's height.
    EXPECT_EQ(fitPicture(QRect(0, 0, 320, 240), QSize(800, 600), 320.0 / 240.0), QRect(0, 0, 800, 600));
    // A narrow area: the width limits.
    EXPECT_EQ(fitPicture(QRect(0, 0, 320, 240), QSize(200, 600), 320.0 / 240.0), QRect(0, 225, 200, 150));
    // No known aspect: nothing moves.
    EXPECT_EQ(fitPicture(QRect(5, 6, 7, 8), QSize(400, 200), 0.0), QRect(5, 6, 7, 8));
}

TEST(PreviewLogic, StatusVolumeAndName)
{
    EXPECT_EQ(statusText(PlayerMode::Playing), "Playing");
    EXPECT_EQ(statusText(PlayerMode::NotReady), "Not Ready");
    EXPECT_EQ(statusText(PlayerMode::Paused), "Paused");
    EXPECT_TRUE(statusText(PlayerMode::Recording).isEmpty());
    EXPECT_EQ(bothChannels(32768), 0x80008000u);
    EXPECT_EQ(leftChannel(0x1234ABCD), 0xABCD);
    EXPECT_EQ(mediaName("/home/me/media/clip.final.asf"), "clip.final");
    EXPECT_TRUE(audioOnly(0x1));
    EXPECT_TRUE(audioOnly(0x5));
    EXPECT_FALSE(audioOnly(0x3));
    EXPECT_FALSE(audioOnly(0x0));
}

TEST(PreviewLogic, ModeFollowsPlaybackAndMedia)
{
    // Nothing to play, or a file the player cannot read: not ready whatever the buttons did.
    EXPECT_EQ(playerMode(Playback::Stopped, MediaState::NoMedia), PlayerMode::NotReady);
    EXPECT_EQ(playerMode(Playback::Playing, MediaState::Invalid), PlayerMode::NotReady);
    EXPECT_EQ(playerMode(Playback::Stopped, MediaState::Loading), PlayerMode::Open);
    EXPECT_EQ(playerMode(Playback::Stopped, MediaState::Loaded), PlayerMode::Stopped);
    EXPECT_EQ(playerMode(Playback::Playing, MediaState::Buffered), PlayerMode::Playing);
    // A growing file played up to its end waits for data.
    EXPECT_EQ(playerMode(Playback::Playing, MediaState::Stalled), PlayerMode::Seeking);
    EXPECT_EQ(playerMode(Playback::Paused, MediaState::Stalled), PlayerMode::Paused);
    EXPECT_EQ(playerMode(Playback::Paused, MediaState::Buffered), PlayerMode::Paused);
    EXPECT_EQ(playerMode(Playback::Stopped, MediaState::EndOfMedia), PlayerMode::Stopped);
}

TEST(PreviewLogic, GainFollowsTheLeftChannelBothWays)
{
    EXPECT_FLOAT_EQ(outputGain(bothChannels(65535)), 1.0f);
    EXPECT_FLOAT_EQ(outputGain(0xFFFF0000u), 0.0f);
    EXPECT_NEAR(outputGain(bothChannels(32768)), 0.5f, 1e-4);
    for (quint32 level : {0u, 1u, 32768u, 65534u, 65535u})
        EXPECT_EQ(volumeForGain(outputGain(bothChannels(quint16(level)))), bothChannels(quint16(level)));
    // Out-of-range gains are clamped, not wrapped.
    EXPECT_EQ(volumeForGain(1.5f), bothChannels(65535));
    EXPECT_EQ(volumeForGain(-0.1f), 0u);
}

TEST(PreviewLogic, WindowTakesThePictureAndTheBars)
{
    EXPECT_EQ(clientSizeForPicture(QRect(0, 0, 320, 240), 140), QSize(320, 380));
    EXPECT_EQ(clientSizeForPicture(QRect(10, 20, 320, 240), 140), QSize(310, 360));
}
