// libFuzzer target: the whole imgupload request reader over arbitrary bodies
// and environments, in the in-memory world of fake_platform.cpp.
//
// Input: optional directive lines at the start, then the body.
//   #L=TEXT  CONTENT_LENGTH is TEXT      #L  CONTENT_LENGTH is the body's size
//   #T=TEXT  CONTENT_TYPE is TEXT
//   #N=TEXT  /opt/rescue4410/nfssetup, #C=TEXT cifssetup, #P=TEXT /tmp/partitions
//            (a '|' in TEXT stands for a newline)
//   #M=N  mount exits with N        #X=N  tar exits with N
//   #W=N  outputs take N bytes, then fail    #H=N  the saved form likewise
//   #K=r  an absolute destination is an existing regular file; #K=d a device
//   #O  the output cannot be opened   #F  the saved form cannot be opened
//   #E  the hand-over fails
// After each run the target checks what must hold however the run ended.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fake_world.h"
#include "reader.h"

namespace {

UploadState state;

std::string with_newlines(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '|') c = '\n';
  }
  return out;
}

long number(std::string_view text) { return std::strtol(std::string(text).c_str(), nullptr, 10); }

// Reads the directives; returns where the body begins.
std::size_t read_directives(std::string_view input) {
  std::size_t position = 0;
  bool length_is_body = false;
  while (position < input.size() && input[position] == '#') {
    std::size_t end = input.find('\n', position);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = input.substr(position + 1, end - position - 1);
    position = end == input.size() ? end : end + 1;
    if (line.empty()) continue;
    const char key = line[0];
    const bool has_value = line.size() >= 2 && line[1] == '=';
    const std::string_view value = has_value ? line.substr(2) : std::string_view();
    switch (key) {
      case 'L':
        if (has_value) {
          world.environment["CONTENT_LENGTH"] = std::string(value);
        } else {
          length_is_body = true;
        }
        break;
      case 'T': world.environment["CONTENT_TYPE"] = std::string(value); break;
      case 'N': world.readable_files["/opt/rescue4410/nfssetup"] = with_newlines(value); break;
      case 'C': world.readable_files["/opt/rescue4410/cifssetup"] = with_newlines(value); break;
      case 'P': world.readable_files["/tmp/partitions"] = with_newlines(value); break;
      case 'M': world.mount_exit = static_cast<int>(number(value) & 0xFF); break;
      case 'X': world.tar_exit = static_cast<int>(number(value) & 0xFF); break;
      case 'W': world.sink_limit = number(value); break;
      case 'H': world.header_limit = number(value); break;
      case 'K':
        world.absolute_path_kind = value == "r" ? OutputKind::regular_file
                                   : value == "d" ? OutputKind::other
                                                  : OutputKind::absent;
        break;
      case 'O': world.output_open_fails = true; break;
      case 'F': world.header_open_fails = true; break;
      case 'E': world.exec_fails = true; break;
      default: break;
    }
  }
  if (length_is_body) world.environment["CONTENT_LENGTH"] = std::to_string(input.size() - position);
  return position;
}

bool exists(const std::string& path) { return world.files.count(path) != 0; }

void check_end_of_run() {
  require(world.open_streams == 0, "a stream left open");
  require(state.header_file == nullptr && state.sink == nullptr, "the state still holds an output");
  require(state.temp_path[0] == '\0' && (world.temp_path.empty() || !exists(world.temp_path)),
          "a temporary file left behind");
  require(!world.commands.empty(), "no unmount at the end");
  if (world.handed_over) {
    require(world.exit_status == -1, "both handed over and exited");
    require(world.commands.back() == "umount /mnt/tmp 2>/dev/null", "hand-over without the quiet unmount last");
    require(world.stdin_path == "/tmp/form.header", "hand-over without the saved form as input");
    require(exists("/tmp/form.header"), "hand-over without the saved form");
    if (!world.temp_path.empty()) require(exists(world.absolute_path), "complete upload not renamed in place");
  } else {
    require(world.exit_status == 1, "ended other than by hand-over or exit status 1");
    require(world.commands.back() == "umount /mnt/tmp", "clean-up without the unmount last");
    require(!exists("/tmp/form.header"), "clean-up left the saved form");
    require(!exists("/mnt/tmp/images/download.tmp"), "clean-up left the download");
    if (world.absolute_path_kind == OutputKind::regular_file && !world.absolute_path.empty() &&
        !world.exec_attempted) {
      require(!exists(world.absolute_path), "a failed upload replaced an existing file");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  quiet_program_output();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  world = FakeWorld{};
  state = UploadState{};
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t body_start = read_directives(input);

  FILE* const in = open_body(std::string(input.substr(body_start)));
  require(in != nullptr, "fopencookie");

  static char program[] = "imgupload";
  static char* argv[] = {program, nullptr};
  static char* envp[] = {nullptr};
  if (setjmp(world.end_of_run) == 0) run_upload(state, in, argv, envp);
  std::fclose(in);
  check_end_of_run();
  return 0;
}
