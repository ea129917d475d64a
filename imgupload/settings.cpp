// Settings-file and partition-list parsing (see settings.h).
#include "settings.h"

#include <cstring>

namespace {

constexpr std::array kNfsRules{
    SettingRule{"host=", key_host, MountField::device, SettingOp::replace, false, "", ":"},
    SettingRule{"share=", key_share, MountField::device, SettingOp::append, false, "", ""},
    SettingRule{"opts=", key_opts, MountField::options, SettingOp::replace, false, "", ""},
};

constexpr std::array kCifsRules{
    SettingRule{"host=", key_host, MountField::device, SettingOp::replace, false, "//", "/"},
    SettingRule{"share=", key_share, MountField::device, SettingOp::append, false, "", ""},
    SettingRule{"user=", key_user, MountField::options, SettingOp::replace, true, "", ","},
    SettingRule{"pass=", key_pass, MountField::options, SettingOp::append, true, "", ""},
};

std::span<char> field_of(MountDescription& mount, MountField field) {
  return field == MountField::device ? std::span<char>(mount.mount_device) : std::span<char>(mount.mount_options);
}

}  // namespace

const SettingsFile kNfsSettings{"/opt/rescue4410/nfssetup", "opening /opt/rescue4410/nfssetup", "nfs", kNfsRules, key_host,
                                "No \"host=\" line in /opt/rescue4410/nfssetup\n"};
const SettingsFile kCifsSettings{"/opt/rescue4410/cifssetup", "opening /opt/rescue4410/cifssetup", "cifs", kCifsRules, key_host | key_user,
                                 "No \"host=\" or \"user=\" line in /opt/rescue4410/cifssetup\n"};

bool set_field(std::span<char> field, std::string_view text) {
  if (text.size() >= field.size()) return false;
  std::memcpy(field.data(), text.data(), text.size());
  field[text.size()] = '\0';
  return true;
}

SettingResult apply_setting_line(const SettingsFile& file, std::string_view line, MountDescription& mount,
                                 unsigned& seen) {
  for (const SettingRule& rule : file.rules) {
    if (!line.starts_with(rule.key)) continue;
    std::string_view text = line;
    if (!rule.whole_line) text.remove_prefix(rule.key.size());
    const std::span<char> field = field_of(mount, rule.field);
    const std::size_t kept = rule.op == SettingOp::append ? std::strlen(field.data()) : 0;
    const std::size_t length = kept + rule.before.size() + text.size() + rule.after.size();
    if (length >= field.size()) return SettingResult::too_long;
    char* out = field.data() + kept;
    for (std::string_view piece : {rule.before, text, rule.after}) {
      std::memcpy(out, piece.data(), piece.size());
      out += piece.size();
    }
    *out = '\0';
    seen |= rule.bit;
    return SettingResult::applied;
  }
  return SettingResult::ignored;
}

PartitionMatch match_partition_line(std::string_view line, std::string_view destination, MountDescription& mount) {
  if (!line.starts_with(destination)) return PartitionMatch::other_line;
  // The line's last character (its newline) goes first; the device is then
  // everything after the first blank.
  line.remove_suffix(line.empty() ? 0 : 1);
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return PartitionMatch::no_blank;
  line.remove_prefix(blank + 1);
  if (!set_field(mount.mount_device, line)) return PartitionMatch::too_long;
  set_field(mount.mount_options, "noatime");
  set_field(mount.fs_type, "ext3");
  return PartitionMatch::found;
}
