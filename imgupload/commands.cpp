// Assembly and quoting of the mount and tar commands (see commands.h).
#include "commands.h"

#include <cstring>

namespace {

constexpr bool is_plain_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("._,:=/+@%-").find(c) != std::string_view::npos;
}
static_assert(is_plain_char('@') && !is_plain_char(' ') && !is_plain_char('\'') && !is_plain_char('$') &&
              !is_plain_char('\0'));

}  // namespace

FixedText::FixedText(std::span<char> buffer) : buffer_(buffer) {
  if (buffer_.empty()) {
    fits_ = false;
  } else {
    buffer_[0] = '\0';
  }
}

FixedText& FixedText::add(std::string_view text) {
  if (!fits_) return *this;
  if (text.size() >= buffer_.size() - length_) {
    fits_ = false;
    return *this;
  }
  std::memcpy(buffer_.data() + length_, text.data(), text.size());
  length_ += text.size();
  buffer_[length_] = '\0';
  return *this;
}

FixedText& FixedText::add_inside_quotes(std::string_view value) {
  // A single quote cannot stand inside single quotes: close them, give the
  // quote escaped, open them again.
  for (;;) {
    const std::size_t quote = value.find('\'');
    if (quote == std::string_view::npos) return add(value);
    add(std::string_view(value.data(), quote)).add("'\\''");
    value.remove_prefix(quote + 1);
  }
}

FixedText& FixedText::add_word(std::string_view value) {
  if (is_plain_word(value)) return add(value);
  return add("'").add_inside_quotes(value).add("'");
}

bool is_plain_word(std::string_view value) {
  if (value.empty()) return false;
  for (char c : value) {
    if (!is_plain_char(c)) return false;
  }
  return true;
}

bool build_mount_command(std::span<char> out, std::string_view fs_type, std::string_view options,
                         std::string_view device) {
  FixedText text(out);
  text.add("mount -t ").add_word(fs_type).add(" -o ").add_word(options).add(" ").add_word(device);
  text.add(" ").add(kMountPoint);
  return text.ok();
}

bool image_name_unpackable(std::string_view image_name) {
  return !image_name.empty() && image_name != "." && image_name != ".." &&
         image_name.find('/') == std::string_view::npos;
}

bool build_unpack_dir(std::span<char> out, std::string_view image_name) {
  FixedText text(out);
  text.add(kUnpackPrefix).add(image_name);
  return text.ok();
}

bool build_tar_command(std::span<char> out, std::string_view unpack_dir) {
  FixedText text(out);
  text.add("/bin/tar -xzf - -C '").add_inside_quotes(unpack_dir).add("'");
  return text.ok();
}
