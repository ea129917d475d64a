// The line classification and value capture of the request reader.
#include "line_rules.h"

#include <array>
#include <cstring>

#include "upload_state.h"

namespace {

struct LinePrefix {
  std::string_view text;
  bool ignore_case;
  LineKind kind;
};

// Tested in this order; the first that the line begins with decides.
constexpr std::array kLinePrefixes{
    LinePrefix{"--", false, LineKind::delimiter},
    LinePrefix{"content-disposition", true, LineKind::disposition},
    LinePrefix{"content-transfer-encoding", true, LineKind::transfer_encoding},
};
static_assert(kLinePrefixes[1].text.size() == 19 && kLinePrefixes[2].text.size() == 25);

struct FieldName {
  std::string_view text;
  FormField field;
};

// A line naming several of them counts as the first in this order.
constexpr std::array kFieldNames{
    FieldName{"name=\"destination\"", FormField::destination},
    FieldName{"name=\"files\"", FormField::files},
    FieldName{"name=\"img_name\"", FormField::img_name},
    FieldName{"name=\"img_type\"", FormField::img_type},
};

constexpr std::array<std::string_view, 3> kBase64Names{"base64", "BASE64", "Base64"};

constexpr char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool begins_with(std::string_view line, const LinePrefix& prefix) {
  if (line.size() < prefix.text.size()) return false;
  for (std::size_t i = 0; i < prefix.text.size(); ++i) {
    const char c = prefix.ignore_case ? ascii_lower(line[i]) : line[i];
    if (c != prefix.text[i]) return false;
  }
  return true;
}

}  // namespace

LineKind classify_line(std::string_view line) {
  for (const LinePrefix& prefix : kLinePrefixes) {
    if (begins_with(line, prefix)) return prefix.kind;
  }
  return line == "\r\n" ? LineKind::blank : LineKind::other;
}

FormField disposition_field(std::string_view line) {
  for (const FieldName& name : kFieldNames) {
    if (line.find(name.text) != std::string_view::npos) return name.field;
  }
  return FormField::none;
}

bool declares_base64(std::string_view line) {
  for (std::string_view name : kBase64Names) {
    if (line.find(name) != std::string_view::npos) return true;
  }
  return false;
}

bool capture_value(std::string_view line, char* storage, std::size_t storage_size) {
  // A line shorter than its CR LF (a lone newline) gives the empty value.
  const std::size_t length = line.size() >= 2 ? line.size() - 2 : 0;
  if (length > value_capacity(storage_size)) return false;
  std::memcpy(storage, line.data(), length);
  storage[length] = '\0';
  return true;
}
