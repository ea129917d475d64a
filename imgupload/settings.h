// The mount description of a destination and how it is filled: from the NFS
// and CIFS settings files (one "key=value" setting per line) and from the
// partition list "/tmp/partitions" ("NAME DEVICE" per line). Pure functions
// over one line each; the destinations unit reads the files.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "commands.h"

struct MountDescription {
  std::array<char, kFsTypeSize> fs_type;
  std::array<char, kMountFieldSize> mount_options;
  std::array<char, kMountFieldSize> mount_device;
};

enum class MountField : std::uint8_t { device, options };
enum class SettingOp : std::uint8_t { replace, append };
// The keys, as bits recording which ones a file has set.
enum SettingKey : unsigned { key_host = 1u << 0, key_share = 1u << 1, key_opts = 1u << 2, key_user = 1u << 3,
                             key_pass = 1u << 4 };

// One key of a settings file: what a line beginning with it does to the
// description. The text put in is `before`, then the text after the key (or
// the whole line when whole_line), then `after`.
struct SettingRule {
  std::string_view key;
  SettingKey bit;
  MountField field;
  SettingOp op;
  bool whole_line;
  std::string_view before;
  std::string_view after;
};

// One kind of network share: its settings file, its keys, the keys that a
// usable file must set, and the file system type given to mount.
struct SettingsFile {
  const char* path;
  const char* open_tag;
  std::string_view fs_type;
  std::span<const SettingRule> rules;
  unsigned required;
  const char* missing_message;
};
extern const SettingsFile kNfsSettings;
extern const SettingsFile kCifsSettings;

enum class SettingResult : std::uint8_t { ignored, applied, too_long };
// Apply one line (its newline already removed) to the description; record
// the key in `seen`. A line sets at most one key. too_long: the field would
// exceed 255 characters; it is left as it was.
SettingResult apply_setting_line(const SettingsFile& file, std::string_view line, MountDescription& mount,
                                 unsigned& seen);

enum class PartitionMatch : std::uint8_t { other_line, found, no_blank, too_long };
// A line of "/tmp/partitions" (with its newline) against the destination
// value: found when the line begins with the value, and then the device is
// everything after the line's first blank, its last character removed; the
// options become "noatime" and the type "ext3".
PartitionMatch match_partition_line(std::string_view line, std::string_view destination, MountDescription& mount);

// Set a field to text; false (field unchanged) when it does not fit.
bool set_field(std::span<char> field, std::string_view text);
