// The request reader's main loop, the raw and Base64 file content, and the
// end of input with the hand-over to the next program of the upload chain.
#include "reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "base64.h"
#include "body_length.h"
#include "cleanup.h"
#include "destination.h"
#include "line_io.h"
#include "line_rules.h"
#include "platform.h"

namespace {

constexpr char kNextStage[] = "./nextstage";

// The saved form is written in large blocks.
char header_buffer[16 * 1024];

void clear_part_flags(UploadState& state) {
  state.seen_destination = false;
  state.seen_files = false;
  state.seen_img_name = false;
  state.seen_img_type = false;
  state.base64_encoding = false;
}

void store_value(UploadState& state, std::string_view line, char* storage, std::size_t storage_size,
                 const char* field, const char* label) {
  if (!capture_value(line, storage, storage_size)) {
    refuse(state, "The value of %s is too long (at most %zu characters)\n", field, value_capacity(storage_size));
  }
  std::printf("Found %s : '%s'\n", label, storage);
}

// The raw content runs to the closing part of the body; its length follows
// from the budget and the boundary.
void copy_raw_content(UploadState& state, FILE* in) {
  const char* const boundary = state.has_content_length ? find_boundary(platform_getenv("CONTENT_TYPE")) : nullptr;
  if (boundary == nullptr) {
    std::fputs("Boundary not found in environment\n", stderr);
    fail_and_clean_up(state, nullptr);
  }
  const std::int64_t length = raw_content_length(state.budget, boundary);
  if (length < 0) {
    refuse(state, "Negative file length %lld: CONTENT_LENGTH is too small for the body\n",
           static_cast<long long>(length));
  }
  std::printf("File length = %d\n", static_cast<int>(length));
  char* const chunk = state.line_buffer.data();
  for (std::int64_t left = length; left > 0;) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::int64_t>(left, kRawChunkSize));
    if (std::fread(chunk, 1, size, in) != size) {
      if (!std::ferror(in)) errno = ENODATA;  // the body ended early
      fail_and_clean_up(state, "error reading data");
    }
    if (std::fwrite(chunk, 1, size, state.sink) != size) fail_and_clean_up(state, "error writing data");
    left -= static_cast<std::int64_t>(size);
  }
}

// Base64 lines up to a line that is exactly CR LF (or the end of input),
// each decoded in place.
void copy_base64_content(UploadState& state, FILE* in) {
  char* const line = state.line_buffer.data();
  for (;;) {
    const std::size_t n = read_line(in, line, kLineMaxChars);
    if (n == 0 || std::string_view(line, n) == "\r\n") return;
    const std::size_t decoded = decode_base64_line(line, n);
    if (std::fwrite(line, 1, decoded, state.sink) != decoded) fail_and_clean_up(state, "error writing data");
  }
}

void copy_file_content(UploadState& state, FILE* in) {
  if (state.sink == nullptr) refuse(state, "File content arrived before any destination\n");
  if (state.base64_encoding) {
    copy_base64_content(state, in);
  } else {
    copy_raw_content(state, in);
  }
}

// The blank line that ends a part's headers.
void end_of_headers(UploadState& state, FILE* in) {
  if (state.seen_destination) {
    state.await_destination = true;
    state.seen_destination = false;
  } else if (state.seen_img_type) {
    state.await_img_type = true;
    state.seen_img_type = false;
  } else if (state.seen_img_name) {
    state.await_img_name = true;
    state.seen_img_name = false;
  } else if (state.seen_files) {
    copy_file_content(state, in);
    state.seen_files = false;
  }
}

void handle_line(UploadState& state, FILE* in, std::string_view line) {
  const LineKind kind = classify_line(line);
  switch (kind) {
    case LineKind::delimiter:
      clear_part_flags(state);
      return;
    case LineKind::disposition:
      switch (disposition_field(line)) {
        case FormField::destination: state.seen_destination = true; break;
        case FormField::files: state.seen_files = true; break;
        case FormField::img_name: state.seen_img_name = true; break;
        case FormField::img_type: state.seen_img_type = true; break;
        case FormField::none: break;
      }
      return;
    case LineKind::transfer_encoding:
      if (declares_base64(line)) state.base64_encoding = true;
      return;
    case LineKind::blank:
    case LineKind::other:
      break;
  }
  if (state.await_img_name) {
    store_value(state, line, state.image_name.data(), state.image_name.size(), "img_name", "image name");
    state.await_img_name = false;
    state.seen_img_name = false;
  } else if (state.await_img_type) {
    store_value(state, line, state.image_type.data(), state.image_type.size(), "img_type", "image type");
    state.await_img_type = false;
    state.seen_img_type = false;
  } else if (state.await_destination) {
    store_value(state, line, state.destination.data(), state.destination.size(), "destination", "destination");
    state.await_destination = false;
    state.seen_destination = false;
    open_destination(state);
  } else if (kind == LineKind::blank) {
    end_of_headers(state, in);
  }
}

// The input is complete: close the outputs (a file that did not reach its
// disk, or a tar that failed, is a failure), put the finished file in place,
// unmount and become the next program with the saved form as its input.
[[noreturn]] void hand_over(UploadState& state, FILE* in, char* const argv[], char* const envp[]) {
  if (!std::feof(in)) fail_and_clean_up(state, "reading input");
  const int header_closed = std::fclose(state.header_file);
  state.header_file = nullptr;
  if (header_closed != 0) fail_and_clean_up(state, "writing header output file");
  if (state.sink != nullptr) {
    if (std::fflush(state.sink) != 0) fail_and_clean_up(state, "error writing data");
    const bool was_pipe = state.sink_is_pipe;
    const int closed = close_sink(state);
    if (was_pipe && closed != 0) refuse_command(state, "tar", closed);
    if (closed != 0) fail_and_clean_up(state, "error writing data");
  }
  if (state.temp_path[0] != '\0') {
    if (platform_rename(state.temp_path.data(), state.output_path.data()) != 0) {
      fail_and_clean_up(state, "renaming data output file");
    }
    state.temp_path[0] = '\0';
  }
  platform_sync();
  platform_sync();
  platform_run("umount /mnt/tmp 2>/dev/null");
  platform_reopen_stdin(kHeaderPath);
  platform_exec(kNextStage, argv, envp);
  fail_and_clean_up(state, "exec failed");
}

}  // namespace

void run_upload(UploadState& state, FILE* in, char* const argv[], char* const envp[]) {
  const char* const content_length = platform_getenv("CONTENT_LENGTH");
  state.has_content_length = content_length != nullptr;
  state.budget = state.has_content_length ? parse_content_length(content_length) : 0;
  state.header_file = platform_open(kHeaderPath, "w");
  if (state.header_file == nullptr) fail_and_clean_up(state, "opening header output file");
  std::setvbuf(state.header_file, header_buffer, _IOFBF, sizeof header_buffer);
  platform_start_output();
  std::puts("Starting download of file");

  char* const line = state.line_buffer.data();
  for (;;) {
    const std::size_t n = read_line(in, line, kLineMaxChars);
    if (n == 0) hand_over(state, in, argv, envp);
    state.budget = reduce_budget(state.budget, n);
    if (std::fwrite(line, 1, n, state.header_file) != n) fail_and_clean_up(state, "writing header output file");
    handle_line(state, in, std::string_view(line, n));
  }
}
