// bench_phrase_draws DRAWS
// Draws DRAWS phrases (adjective, noun and verb, each read afresh from its
// file) from the lex/ folder of the working directory and prints the time
// per phrase in microseconds.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "console/console_double.h"
#include "lexicon/phrase_source.h"
#include "lexicon/random_number.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: bench_phrase_draws DRAWS\n";
        return 2;
    }
    const long draws = std::atol(argv[1]);
    std::ostream out(std::cout.rdbuf());
    resetTestConsole();
    seedRandom(1);
    std::string adjective;
    std::string noun;
    std::string verb;
    std::size_t letters = 0;  // used, so no draw is optimised away
    auto start = std::chrono::steady_clock::now();
    try {
        for (long draw = 0; draw < draws; ++draw) {
            pickAdjective(adjective);
            pickNoun(noun);
            pickVerb(verb);
            letters += adjective.size() + noun.size() + verb.size();
        }
    } catch (const ProgramEnded&) {
        std::cerr << "a word list is missing from lex/\n";
        return 1;
    }
    double microseconds = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    out << "draws\t" << draws << '\n'
        << "us_per_draw\t" << microseconds / static_cast<double>(draws) << '\n'
        << "letters\t" << letters << '\n';
    return 0;
}
