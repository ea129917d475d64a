// fail_and_clean_up and the refusals that lead to it.
#include "cleanup.h"

#include <cstdarg>
#include <cstdio>
#include <sys/wait.h>

#include "commands.h"
#include "platform.h"

int close_sink(UploadState& state) {
  FILE* const sink = state.sink;
  state.sink = nullptr;
  return state.sink_is_pipe ? platform_close_pipe(sink) : std::fclose(sink);
}

void fail_and_clean_up(UploadState& state, const char* tag) {
  if (tag != nullptr) std::perror(tag);
  std::fputs("Something failed.  Trying to clean up\n", stdout);
  if (state.header_file != nullptr) {
    std::fclose(state.header_file);
    state.header_file = nullptr;
  }
  if (state.sink != nullptr) close_sink(state);
  platform_unlink(kDownloadFile);
  if (state.temp_path[0] != '\0') {
    platform_unlink(state.temp_path.data());
    state.temp_path[0] = '\0';
  }
  platform_run("umount /mnt/tmp");
  platform_unlink(kHeaderPath);
  platform_exit(1);
}

void refuse(UploadState& state, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  fail_and_clean_up(state, nullptr);
}

void refuse_command(UploadState& state, const char* what, int status) {
  if (status == -1) refuse(state, "%s could not be run\n", what);
  if (WIFSIGNALED(status)) refuse(state, "%s ended by signal %d\n", what, WTERMSIG(status));
  refuse(state, "%s failed with exit status %d\n", what, WEXITSTATUS(status));
}
