// The shell commands the upload handler runs: the mount command and the tar
// command, assembled in fixed buffers. Every value taken from the form or a
// settings file reaches the command as one literal word: ordinary values as
// they are, any other value in single quotes.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// Storage of the mount description's fields (255 characters each).
inline constexpr std::size_t kFsTypeSize = 32;
inline constexpr std::size_t kMountFieldSize = 256;

// The longest text a value of n characters can become as a shell word: in
// single quotes, each of its single quotes written as '\''.
constexpr std::size_t shell_word_max(std::size_t n) { return 2 + 4 * n; }

inline constexpr std::size_t kMountCommandSize =
    sizeof "mount -t " - 1 + (kFsTypeSize - 1) + sizeof " -o " - 1 + shell_word_max(kMountFieldSize - 1) + 1 +
    shell_word_max(kMountFieldSize - 1) + sizeof " /mnt/tmp";

// The directories and the file the content goes to under the mount point.
inline constexpr char kMountPoint[] = "/mnt/tmp";
inline constexpr char kImagesDir[] = "/mnt/tmp/images";
inline constexpr char kDownloadFile[] = "/mnt/tmp/images/download.tmp";
inline constexpr char kUnpackPrefix[] = "/mnt/tmp/images/";

// A fixed buffer filled piece by piece; remembers when something did not fit.
class FixedText {
 public:
  explicit FixedText(std::span<char> buffer);
  // Literal text, exactly as given.
  FixedText& add(std::string_view text);
  // One literal shell word: the value itself when it is ordinary and not
  // empty, otherwise the value in single quotes.
  FixedText& add_word(std::string_view value);
  // The value's characters for use inside single quotes.
  FixedText& add_inside_quotes(std::string_view value);
  bool ok() const { return fits_; }

 private:
  std::span<char> buffer_;
  std::size_t length_ = 0;
  bool fits_ = true;
};

// Ordinary: only A-Z a-z 0-9 . _ , : = / + @ % - (and at least one of them).
bool is_plain_word(std::string_view value);

// "mount -t TYPE -o OPTIONS DEVICE /mnt/tmp". False when it does not fit.
bool build_mount_command(std::span<char> out, std::string_view fs_type, std::string_view options,
                         std::string_view device);

// Unpacking into "/mnt/tmp/images/NAME" keeps to that directory only when the
// name is not empty, ".", ".." and holds no "/".
bool image_name_unpackable(std::string_view image_name);
// "/mnt/tmp/images/NAME". False when it does not fit.
bool build_unpack_dir(std::span<char> out, std::string_view image_name);
// "/bin/tar -xzf - -C 'DIR'" with the directory's single quotes escaped.
bool build_tar_command(std::span<char> out, std::string_view unpack_dir);
