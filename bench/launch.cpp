// bench_launch NOTES PROGRAM [ARGUMENT...]
// Runs the program and writes to NOTES, one "name value" a line as each
// becomes known: start (CLOCK_MONOTONIC nanoseconds, just before the fork),
// pid, end (when the program has ended), maxrss (peak resident memory in kB,
// as /usr/bin/time reports it) and status.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_launch NOTES PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    std::FILE* notes = std::fopen(argv[1], "w");
    if (notes == nullptr) return 2;
    std::fprintf(notes, "start %lld\n", monotonicNanoseconds());
    std::fflush(notes);
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    std::fprintf(notes, "pid %d\n", static_cast<int>(child));
    std::fflush(notes);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::fprintf(notes, "end %lld\nmaxrss %ld\nstatus %d\n", monotonicNanoseconds(), usage.ru_maxrss, status);
    std::fclose(notes);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
