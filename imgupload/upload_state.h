// UploadState: everything the upload handler knows during its one run — the
// byte budget, the saved form, the output, the captured field values and the
// flags of the part being read. Shared by the request reader and the
// destinations; one static instance lives for the whole run.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// A line read from the body: at most 1022 characters plus the zero byte, in a
// buffer of 1024 that also holds raw chunks and decoded Base64 bytes.
inline constexpr std::size_t kLineBufferSize = 1024;
inline constexpr std::size_t kLineMaxChars = kLineBufferSize - 2;
// A raw content is copied in chunks of at most this many bytes.
inline constexpr std::size_t kRawChunkSize = kLineBufferSize;

// A value is stored as its whole line (CR LF and zero byte included) and then
// cut by two characters, so a storage of N bytes takes values of N - 3.
inline constexpr std::size_t kImageNameSize = 64;
inline constexpr std::size_t kImageTypeSize = 32;
inline constexpr std::size_t kDestinationSize = 112;
constexpr std::size_t value_capacity(std::size_t storage) { return storage - 3; }
static_assert(value_capacity(kImageNameSize) == 61);
static_assert(value_capacity(kImageTypeSize) == 29);
static_assert(value_capacity(kDestinationSize) == 109);
static_assert(kDestinationSize <= kLineBufferSize);

// The file written at an absolute destination, and the temporary file beside
// it that takes the content until the input is complete.
inline constexpr std::size_t kOutputPathSize = PATH_MAX;
inline constexpr char kTempSuffix[] = ".XXXXXX";
inline constexpr std::size_t kTempPathSize = kOutputPathSize + sizeof kTempSuffix;

struct UploadState {
  std::int32_t budget;  // body bytes not yet accounted for
  bool has_content_length;
  FILE* header_file;  // "/tmp/form.header" until the hand-over
  FILE* sink;         // the file content's output, or null
  bool sink_is_pipe;  // sink is the tar pipe (closed as a pipe, waited for)

  std::array<char, kLineBufferSize> line_buffer;
  std::array<char, kImageNameSize> image_name;
  std::array<char, kImageTypeSize> image_type;
  std::array<char, kDestinationSize> destination;

  // Flags of the current part, cleared by every delimiter line.
  bool seen_destination;
  bool seen_files;
  bool seen_img_name;
  bool seen_img_type;
  bool base64_encoding;
  // The next line is the value of that field (kept across delimiters).
  bool await_destination;
  bool await_img_type;
  bool await_img_name;

  // An absolute destination that is a regular file (or does not exist yet) is
  // written to temp_path and renamed to output_path once the input is
  // complete; temp_path is empty when there is no such temporary file.
  std::array<char, kOutputPathSize> output_path;
  std::array<char, kTempPathSize> temp_path;
};
