// The chime the game plays for a file that cannot be played: each note rises
// from rest and falls back to it, so nothing clicks where the notes meet or
// where the chime ends.
#include <gtest/gtest.h>

#include <cstdlib>

#include "console/sound_samples.h"

TEST(DefaultChime, StartsJoinsAndEndsAtRest)
{
    Samples chime = synthesiseChime();
    const std::size_t noteFrames = soundRate / 10;
    ASSERT_EQ(chime.size(), 2 * noteFrames);
    for (std::size_t edge : {std::size_t{0}, noteFrames - 1, noteFrames, chime.size() - 1}) {
        EXPECT_LE(std::abs(chime[edge]), 8) << "at frame " << edge;
    }
}
