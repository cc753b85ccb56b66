// spicka FILE PROGRAM [ARGUMENT...]: runs the program, writes the peak of its
// resident memory in KiB into FILE and ends with its exit status.
//
// A test cannot take this from its own child: a child started by a large
// process counts that process's memory at its start (the kernel carries the
// old memory's peak over exec). Started from a shell, this small program has
// small memory itself, and so has the program it starts.

#include <cstdio>

#ifdef _WIN32
// On Windows tst_nalezy reads the converter's peak through its process handle.
int main()
{
    std::fprintf(stderr, "spicka: POSIX only\n");
    return 125;
}
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: spicka FILE PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const pid_t pid = ::fork();
    if (pid < 0)
        return 125;
    if (pid == 0) {
        ::execvp(argv[2], argv + 2);
        ::_exit(127);
    }
    int stav = 0;
    rusage vyuziti{};
    if (::wait4(pid, &stav, 0, &vyuziti) != pid)
        return 125;
    std::FILE *soubor = std::fopen(argv[1], "w");
    if (!soubor || std::fprintf(soubor, "%ld\n", vyuziti.ru_maxrss) < 0 || std::fclose(soubor) != 0)
        return 125;
    return WIFEXITED(stav) ? WEXITSTATUS(stav) : 128 + WTERMSIG(stav);
}
#endif
