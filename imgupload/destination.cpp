// The four kinds of destination: an absolute path written directly, an NFS
// or CIFS share described by its settings file, or a partition of the box
// listed in "/tmp/partitions"; and the output opened on it.
#include "destination.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "cleanup.h"
#include "commands.h"
#include "line_io.h"
#include "platform.h"
#include "settings.h"

namespace {

constexpr char kPartitionsPath[] = "/tmp/partitions";
constexpr char kUnpackType[] = "tar.gz";
constexpr unsigned kDirMode = 0775;
// One line of a settings file or the partition list: at most 1023
// characters; the buffer later holds the unpack directory.
constexpr std::size_t kSettingsLineSize = 1024;
static_assert(sizeof kUnpackPrefix - 1 + value_capacity(kImageNameSize) < kSettingsLineSize);
static_assert(sizeof "/bin/tar -xzf - -C ''" + shell_word_max(sizeof kUnpackPrefix + value_capacity(kImageNameSize)) <
                  kMountCommandSize,
              "the tar command fits the mount command's buffer");

// The output is written in large blocks; only one output is ever open.
char sink_buffer[64 * 1024];

using SettingsLine = std::array<char, kSettingsLineSize>;

// An absolute path. A regular file, or a path with nothing there yet, gets
// the content in a temporary file beside it, renamed over it at the end of a
// complete input; anything else (a device node) is written directly.
void open_path_output(UploadState& state) {
  const char* const path = state.destination.data();
  const OutputKind kind = platform_output_kind(path, state.output_path.data(), state.output_path.size());
  if (kind == OutputKind::other) {
    state.sink = platform_open(path, "w");
    return;
  }
  FixedText temp(state.temp_path);
  temp.add(state.output_path.data()).add(kTempSuffix);
  if (!temp.ok()) {
    state.temp_path[0] = '\0';
    errno = ENAMETOOLONG;
    return;
  }
  state.sink = platform_open_temp(state.temp_path.data());
  if (state.sink == nullptr) state.temp_path[0] = '\0';
}

void read_settings(UploadState& state, const SettingsFile& file, SettingsLine& line, MountDescription& mount) {
  FILE* const in = platform_open(file.path, "r");
  if (in == nullptr) fail_and_clean_up(state, file.open_tag);
  unsigned seen = 0;
  for (std::size_t n; (n = read_line(in, line.data(), line.size() - 1)) > 0;) {
    // The line's last character is its newline.
    if (apply_setting_line(file, std::string_view(line.data(), n - 1), mount, seen) == SettingResult::too_long) {
      std::fclose(in);
      refuse(state, "A setting in %s is too long (at most %zu characters)\n", file.path, kMountFieldSize - 1);
    }
  }
  std::fclose(in);
  if ((seen & file.required) != file.required) refuse(state, "%s", file.missing_message);
  set_field(mount.fs_type, file.fs_type);
}

void find_partition(UploadState& state, SettingsLine& line, MountDescription& mount) {
  FILE* const in = platform_open(kPartitionsPath, "r");
  if (in == nullptr) fail_and_clean_up(state, "opening /tmp/partitions");
  const std::string_view destination = state.destination.data();
  for (std::size_t n; (n = read_line(in, line.data(), line.size() - 1)) > 0;) {
    const PartitionMatch match = match_partition_line(std::string_view(line.data(), n), destination, mount);
    if (match == PartitionMatch::other_line) continue;
    std::fclose(in);
    if (match == PartitionMatch::no_blank) refuse(state, "No device for '%s' in %s\n", destination.data(), kPartitionsPath);
    if (match == PartitionMatch::too_long) {
      refuse(state, "The device for '%s' in %s is too long (at most %zu characters)\n", destination.data(),
             kPartitionsPath, kMountFieldSize - 1);
    }
    return;
  }
  std::fclose(in);
  refuse(state, "Destination '%s' is not in %s\n", destination.data(), kPartitionsPath);
}

void open_mounted_output(UploadState& state) {
  const std::string_view destination = state.destination.data();
  SettingsLine settings_line{};
  MountDescription mount{};
  if (destination == "NFS") {
    read_settings(state, kNfsSettings, settings_line, mount);
  } else if (destination == "CIFS") {
    read_settings(state, kCifsSettings, settings_line, mount);
  } else {
    find_partition(state, settings_line, mount);
  }

  const bool unpack = std::string_view(state.image_type.data()) == kUnpackType;
  const std::string_view image_name = state.image_name.data();
  if (unpack && !image_name_unpackable(image_name)) {
    refuse(state, "Image name '%s' cannot name a directory in %s\n", image_name.data(), kImagesDir);
  }

  std::array<char, kMountCommandSize> mount_command{};
  if (!build_mount_command(mount_command, mount.fs_type.data(), mount.mount_options.data(),
                           mount.mount_device.data())) {
    refuse(state, "The mount command is too long\n");
  }
  std::printf("Mounting destination.  Command = '%s'\n", mount_command.data());
  const int status = platform_run(mount_command.data());
  if (status != 0) refuse_command(state, "mount", status);

  platform_mkdir(kImagesDir, kDirMode);
  if (unpack) {
    if (!build_unpack_dir(settings_line, image_name) || !build_tar_command(mount_command, settings_line.data())) {
      refuse(state, "The tar command is too long\n");
    }
    platform_mkdir(settings_line.data(), kDirMode);
    state.sink = platform_pipe_to(mount_command.data());
    state.sink_is_pipe = state.sink != nullptr;
  } else {
    state.sink = platform_open(kDownloadFile, "w");
  }
}

}  // namespace

void open_destination(UploadState& state) {
  // One destination per form: a second one would leave the first output
  // open and mount over the first mount.
  if (state.sink != nullptr) refuse(state, "A second destination in one form\n");
  if (state.destination[0] == '/') {
    open_path_output(state);
  } else {
    open_mounted_output(state);
  }
  if (state.sink == nullptr) fail_and_clean_up(state, "opening data output file");
  std::setvbuf(state.sink, sink_buffer, _IOFBF, sizeof sink_buffer);
}
