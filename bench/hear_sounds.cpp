// The sound tier's analyser (tests/sound/heard_sounds.h) for the benchmark:
//   hear_sounds write DATA           swaps DATA's .wav files for test sounds
//   hear_sounds hear DATA RECORDING  prints each sound heard: name, start and
//                                    length heard, length written, silence
//                                    inside it (seconds)
// DATA must hold the test sounds for `hear`, as `write` left them.
#include <cstdio>
#include <string>

#include "tests/sound/heard_sounds.h"

int main(int argc, char** argv)
{
    std::string step = argc > 2 ? argv[1] : "";
    if (step == "write") {
        writeTestSounds(argv[2], false);
        return 0;
    }
    if (step != "hear" || argc < 4) {
        std::fprintf(stderr, "usage: hear_sounds write DATA | hear DATA RECORDING\n");
        return 2;
    }
    TestSounds sounds = planTestSounds(argv[2], false);
    for (const HeardSound& sound : hearSounds(readRecording(argv[3]), sounds)) {
        double written = sounds.count(sound.name) ? sounds.at(sound.name).seconds : 0;
        std::printf("%s %.6f %.6f %.6f %.6f\n", sound.name.c_str(), sound.start, sound.seconds, written,
                    sound.silenceInside);
    }
    return 0;
}
