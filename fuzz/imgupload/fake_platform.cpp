// The imgupload platform for the fuzz target: streams are in memory, shell
// commands are parsed and checked instead of run, the hand-over and the exit
// jump back to the target. Nothing here touches a real path or runs anything.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unistd.h>

#include "fake_world.h"

FakeWorld world;

namespace {
// Where findings are reported: the real standard error, while the program's
// own messages go nowhere.
FILE* report = stderr;

ssize_t discard(void*, const char*, size_t size) { return static_cast<ssize_t>(size); }
}  // namespace

void quiet_program_output() {
  report = fdopen(dup(2), "w");
  setvbuf(report, nullptr, _IONBF, 0);
  stdout = fopencookie(nullptr, "w", {nullptr, discard, nullptr, nullptr});
  stderr = fopencookie(nullptr, "w", {nullptr, discard, nullptr, nullptr});
}

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(report, "imgupload invariant broken: %s\n", what);
  std::abort();
}

namespace {

constexpr std::string_view kMountPoint = "/mnt/tmp";
constexpr std::string_view kUnpackPrefix = "/mnt/tmp/images/";

bool under_mount_point(std::string_view path) {
  return path == kMountPoint || (path.starts_with(kMountPoint) && path[kMountPoint.size()] == '/');
}

// --- Streams -------------------------------------------------------------------

struct Writer {
  long limit;
  long written;
  int error;
};

ssize_t write_some(void* cookie, const char* /*buffer*/, size_t size) {
  auto* writer = static_cast<Writer*>(cookie);
  if (writer->limit >= 0 && writer->written + static_cast<long>(size) > writer->limit) {
    errno = writer->error;
    return -1;
  }
  writer->written += static_cast<long>(size);
  return static_cast<ssize_t>(size);
}

struct Reader {
  std::string data;
  size_t position;
};

ssize_t read_some(void* cookie, char* buffer, size_t size) {
  auto* reader = static_cast<Reader*>(cookie);
  const size_t n = std::min(size, reader->data.size() - reader->position);
  std::memcpy(buffer, reader->data.data() + reader->position, n);
  reader->position += n;
  return static_cast<ssize_t>(n);
}

template <class Stream>
int close_stream(void* cookie) {
  delete static_cast<Stream*>(cookie);
  --world.open_streams;
  return 0;
}

int close_body(void* cookie) {
  delete static_cast<Reader*>(cookie);
  return 0;
}

FILE* open_writer(long limit, int error) {
  ++world.open_streams;
  return fopencookie(new Writer{limit, 0, error}, "w", {nullptr, write_some, nullptr, close_stream<Writer>});
}

// --- Commands --------------------------------------------------------------------

bool plain_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("._,:=/+@%-").find(c) != std::string_view::npos;
}

// The words the shell makes of a command, for the only forms the program may
// write: plain words, single-quoted text, and \' between quoted pieces. Any
// other character outside quotes would be special to the shell: a finding.
std::vector<std::string> shell_words(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  for (size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (c == ' ') {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '\'') {
      const size_t end = command.find('\'', i + 1);
      require(end != std::string_view::npos, "unbalanced single quote in a command");
      word.append(command.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '\\') {
      require(i + 1 < command.size() && command[i + 1] == '\'', "backslash other than \\' in a command");
      word.push_back('\'');
      ++i;
    } else {
      require(plain_char(c), "a character special to the shell outside quotes");
      word.push_back(c);
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

void check_mount(std::string_view command) {
  const std::vector<std::string> words = shell_words(command);
  require(words.size() == 7, "mount command of other than seven words");
  require(words[0] == "mount" && words[1] == "-t" && words[3] == "-o" && words[6] == kMountPoint,
          "mount command out of shape");
  require(words[2] == "ext3" || words[2] == "nfs" || words[2] == "cifs", "unknown file system type");
}

void check_tar(std::string_view command) {
  const std::vector<std::string> words = shell_words(command);
  require(words.size() == 5, "tar command of other than five words");
  require(words[0] == "/bin/tar" && words[1] == "-xzf" && words[2] == "-" && words[3] == "-C",
          "tar command out of shape");
  const std::string& dir = words[4];
  require(dir.starts_with(kUnpackPrefix), "unpack directory outside /mnt/tmp/images");
  const std::string_view name = std::string_view(dir).substr(kUnpackPrefix.size());
  require(!name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos,
          "unpack directory leaves /mnt/tmp/images");
  require(!world.directories.empty() && world.directories.back() == dir, "tar unpacks elsewhere than the made directory");
}

}  // namespace

FILE* open_body(const std::string& body) {
  return fopencookie(new Reader{body, 0}, "r", {read_some, nullptr, nullptr, close_body});
}

// --- The platform -------------------------------------------------------------------

void platform_init() {}
void platform_start_output() {}

const char* platform_getenv(const char* name) {
  const auto found = world.environment.find(name);
  return found == world.environment.end() ? nullptr : found->second.c_str();
}

FILE* platform_open(const char* path, const char* mode) {
  const std::string_view p = path;
  if (std::string_view(mode) == "r") {
    const auto found = world.readable_files.find(path);
    if (found == world.readable_files.end()) {
      errno = ENOENT;
      return nullptr;
    }
    ++world.open_streams;
    return fopencookie(new Reader{found->second, 0}, "r", {read_some, nullptr, nullptr, close_stream<Reader>});
  }
  require(std::string_view(mode) == "w", "unexpected open mode");
  const bool header = p == "/tmp/form.header";
  if (!header) {
    require(!world.mount_failed || !under_mount_point(p), "output opened under a failed mount");
    require(!(p == world.absolute_path && world.absolute_path_kind == OutputKind::regular_file),
            "an existing file opened for writing in place");
  }
  if (header ? world.header_open_fails : world.output_open_fails) {
    errno = header ? EISDIR : EACCES;
    return nullptr;
  }
  world.files.insert(path);
  return open_writer(header ? world.header_limit : world.sink_limit, ENOSPC);
}

OutputKind platform_output_kind(const char* path, char* final_path, std::size_t final_path_size) {
  world.absolute_path = path;
  const std::size_t length = std::strlen(path);
  require(length < final_path_size, "absolute path longer than its storage");
  std::memcpy(final_path, path, length + 1);
  return world.absolute_path_kind;
}

FILE* platform_open_temp(char* path_template) {
  const std::size_t length = std::strlen(path_template);
  require(length >= 6 && std::string_view(path_template + length - 6) == "XXXXXX", "temporary name without XXXXXX");
  require(std::string_view(path_template, length - 7) == world.absolute_path, "temporary file not beside its path");
  std::memcpy(path_template + length - 6, "000001", 6);
  if (world.output_open_fails) {
    errno = EACCES;
    return nullptr;
  }
  world.temp_path = path_template;
  world.files.insert(path_template);
  return open_writer(world.sink_limit, ENOSPC);
}

int platform_mkdir(const char* path, unsigned mode) {
  require(mode == 0775, "directory mode other than 775");
  require(!world.mount_failed, "directory made under a failed mount");
  world.directories.push_back(path);
  return 0;
}

int platform_unlink(const char* path) {
  if (world.files.erase(path) == 0) {
    errno = ENOENT;
    return -1;
  }
  return 0;
}

int platform_rename(const char* from, const char* to) {
  require(world.files.erase(from) == 1, "rename of a file never written");
  require(from == world.temp_path && to == world.absolute_path, "rename other than temporary to its path");
  world.files.insert(to);
  return 0;
}

void platform_sync() {}

int platform_run(const char* command) {
  world.commands.push_back(command);
  const std::string_view c = command;
  if (c == "umount /mnt/tmp" || c == "umount /mnt/tmp 2>/dev/null") return 0;
  require(c.starts_with("mount "), "a command other than mount or umount");
  check_mount(c);
  world.mount_failed = world.mount_exit != 0;
  return world.mount_exit << 8;
}

FILE* platform_pipe_to(const char* command) {
  world.commands.push_back(command);
  check_tar(command);
  require(!world.mount_failed, "tar started under a failed mount");
  if (world.output_open_fails) {
    errno = EAGAIN;
    return nullptr;
  }
  return open_writer(world.sink_limit, EPIPE);
}

int platform_close_pipe(FILE* pipe) {
  std::fclose(pipe);
  return world.tar_exit << 8;
}

void platform_reopen_stdin(const char* path) { world.stdin_path = path; }

void platform_exec(const char* path, char* const* /*argv*/, char* const* /*envp*/) {
  require(std::string_view(path) == "./nextstage", "hand-over to another program");
  world.exec_attempted = true;
  if (world.exec_fails) {
    errno = ENOENT;
    return;
  }
  world.handed_over = true;
  std::longjmp(world.end_of_run, 1);
}

void platform_exit(int status) {
  world.exit_status = status;
  std::longjmp(world.end_of_run, 1);
}
