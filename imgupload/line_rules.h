// How the request reader reads one line of the form: which kind of line it
// is, which field a Content-Disposition line names, whether a transfer
// encoding line declares Base64, and how a value line becomes a stored value.
// Pure functions over the line's bytes; the reader acts on their answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The line kinds that do not depend on the reader's state, in the order the
// reader tests them: delimiter, the two header names, and the blank line that
// ends a part's headers (tested only after the value rules).
enum class LineKind : std::uint8_t { delimiter, disposition, transfer_encoding, blank, other };
LineKind classify_line(std::string_view line);

// The field a Content-Disposition line names: the first of the known names
// found anywhere in the line, in the order destination, files, img_name,
// img_type.
enum class FormField : std::uint8_t { none, destination, files, img_name, img_type };
FormField disposition_field(std::string_view line);

// A Content-Transfer-Encoding line declares Base64 when it holds "base64",
// "BASE64" or "Base64" (no other mix of case).
bool declares_base64(std::string_view line);

// Store a value line as the field's value: the line without its last two
// characters (its CR LF), zero-terminated. Returns false, storing nothing,
// when the value is longer than the storage takes (storage_size - 3).
bool capture_value(std::string_view line, char* storage, std::size_t storage_size);
