// Runs a program with its standard input from a file and prints the peak
// resident memory of its process in KiB (from wait4). The benchmark uses it for
// imgupload, whose memory must not grow with the upload.
//
//   peak_rss INPUT PROGRAM [ARGS...]

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc < 3)
        return 2;
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(argv[1], O_RDONLY);
        if (in < 0 || dup2(in, 0) < 0)
            _exit(127);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0)
        return 2;
    printf("%ld\n", usage.ru_maxrss);
    return 0;
}
