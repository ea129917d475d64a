// The upload handler's platform on a real system: the C library's streams,
// the shell through system() and popen(), execve() for the hand-over.
#include "platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Large static buffers: the body is read in big blocks, never a system call
// per line or per chunk.
char input_buffer[64 * 1024];
char output_buffer[4096];

// Commands and the next program get the default handling of a broken pipe;
// only this process ignores it.
struct DefaultSigpipe {
  DefaultSigpipe() { std::signal(SIGPIPE, SIG_DFL); }
  ~DefaultSigpipe() { std::signal(SIGPIPE, SIG_IGN); }
  DefaultSigpipe(const DefaultSigpipe&) = delete;
  DefaultSigpipe& operator=(const DefaultSigpipe&) = delete;
};

}  // namespace

void platform_init() {
  std::signal(SIGPIPE, SIG_IGN);
  std::setvbuf(stdin, input_buffer, _IOFBF, sizeof input_buffer);
}

void platform_start_output() { std::setvbuf(stdout, output_buffer, _IOLBF, sizeof output_buffer); }

const char* platform_getenv(const char* name) { return std::getenv(name); }

FILE* platform_open(const char* path, const char* mode) { return std::fopen(path, mode); }

OutputKind platform_output_kind(const char* path, char* final_path, std::size_t final_path_size) {
  const std::size_t length = std::strlen(path);
  if (length >= final_path_size) return OutputKind::other;
  std::memcpy(final_path, path, length + 1);
  struct stat st {};
  if (::stat(path, &st) != 0) return errno == ENOENT ? OutputKind::absent : OutputKind::other;
  if (!S_ISREG(st.st_mode)) return OutputKind::other;
  struct stat link {};
  if (::lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
    static char resolved[PATH_MAX];
    if (::realpath(path, resolved) == nullptr) return OutputKind::other;
    const std::size_t resolved_length = std::strlen(resolved);
    if (resolved_length >= final_path_size) return OutputKind::other;
    std::memcpy(final_path, resolved, resolved_length + 1);
  }
  return OutputKind::regular_file;
}

FILE* platform_open_temp(char* path_template) {
  const int fd = ::mkstemp(path_template);
  if (fd < 0) return nullptr;
  // mkstemp gives 0600; the finished file gets what fopen would have given.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  FILE* stream = nullptr;
  if (::fchmod(fd, 0666 & ~mask) == 0) stream = ::fdopen(fd, "w");
  if (stream == nullptr) {
    const int saved = errno;
    ::close(fd);
    ::unlink(path_template);
    errno = saved;
  }
  return stream;
}

int platform_mkdir(const char* path, unsigned mode) { return ::mkdir(path, static_cast<mode_t>(mode)); }
int platform_unlink(const char* path) { return ::unlink(path); }
int platform_rename(const char* from, const char* to) { return std::rename(from, to); }
void platform_sync() { ::sync(); }

int platform_run(const char* command) {
  DefaultSigpipe during_command;
  return std::system(command);
}

FILE* platform_pipe_to(const char* command) {
  DefaultSigpipe during_start;
  return ::popen(command, "w");
}

int platform_close_pipe(FILE* pipe) { return ::pclose(pipe); }

void platform_reopen_stdin(const char* path) {
  ::close(0);
  (void)::open(path, O_RDONLY);
}

void platform_exec(const char* path, char* const argv[], char* const envp[]) {
  std::signal(SIGPIPE, SIG_DFL);
  ::execve(path, argv, envp);
  const int saved = errno;
  std::signal(SIGPIPE, SIG_IGN);
  errno = saved;
}

void platform_exit(int status) { std::exit(status); }
