// Line classification, field names, the Base64 declaration and value capture.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "line_rules.h"
#include "upload_state.h"

#include "case_name.h"

namespace {

struct KindCase {
  const char* name;
  std::string_view line;
  LineKind kind;
};

const KindCase kKindCases[] = {
    {"delimiter", "--XyZ\r\n", LineKind::delimiter},
    {"closing_delimiter", "--XyZ--\r\n", LineKind::delimiter},
    {"any_dashes_line", "--\r\n", LineKind::delimiter},
    {"single_dash", "-XyZ\r\n", LineKind::other},
    {"disposition", "Content-Disposition: form-data; name=\"files\"\r\n", LineKind::disposition},
    {"disposition_any_case", "CONTENT-disposition: x\r\n", LineKind::disposition},
    {"disposition_bare_name", "content-disposition", LineKind::disposition},
    {"disposition_cut_short", "content-dispositio", LineKind::other},
    {"encoding", "Content-Transfer-Encoding: base64\r\n", LineKind::transfer_encoding},
    {"encoding_any_case", "CONTENT-TRANSFER-ENCODING: binary\r\n", LineKind::transfer_encoding},
    {"content_type_header", "Content-Type: application/octet-stream\r\n", LineKind::other},
    {"blank", "\r\n", LineKind::blank},
    {"bare_lf_is_not_blank", "\n", LineKind::other},
    {"blank_then_more", "\r\nx", LineKind::other},
    {"value", "abc\r\n", LineKind::other},
};

class ClassifyLine : public testing::TestWithParam<KindCase> {};

TEST_P(ClassifyLine, Kind) { EXPECT_EQ(GetParam().kind, classify_line(GetParam().line)); }

INSTANTIATE_TEST_SUITE_P(Lines, ClassifyLine, testing::ValuesIn(kKindCases), CaseName());

struct FieldCase {
  const char* name;
  std::string_view line;
  FormField field;
};

const FieldCase kFieldCases[] = {
    {"destination", "Content-Disposition: form-data; name=\"destination\"\r\n", FormField::destination},
    {"files", "Content-Disposition: form-data; name=\"files\"; filename=\"a.img\"\r\n", FormField::files},
    {"filename_files_counts_as_files", "Content-Disposition: form-data; filename=\"files\"\r\n", FormField::files},
    {"destination_before_files", "Content-Disposition: name=\"files\"; name=\"destination\"\r\n",
     FormField::destination},
    {"img_name", "Content-Disposition: form-data; name=\"img_name\"\r\n", FormField::img_name},
    {"img_type", "Content-Disposition: form-data; name=\"img_type\"\r\n", FormField::img_type},
    {"name_case_matters", "Content-Disposition: form-data; name=\"Files\"\r\n", FormField::none},
    {"unknown_field", "Content-Disposition: form-data; name=\"submit\"\r\n", FormField::none},
};

class DispositionField : public testing::TestWithParam<FieldCase> {};

TEST_P(DispositionField, Named) { EXPECT_EQ(GetParam().field, disposition_field(GetParam().line)); }

INSTANTIATE_TEST_SUITE_P(Lines, DispositionField, testing::ValuesIn(kFieldCases), CaseName());

TEST(DeclaresBase64, OnlyTheThreeSpellings) {
  EXPECT_TRUE(declares_base64("Content-Transfer-Encoding: base64\r\n"));
  EXPECT_TRUE(declares_base64("Content-Transfer-Encoding: BASE64\r\n"));
  EXPECT_TRUE(declares_base64("content-transfer-encoding:Base64"));
  EXPECT_FALSE(declares_base64("Content-Transfer-Encoding: bAsE64\r\n"));
  EXPECT_FALSE(declares_base64("Content-Transfer-Encoding: binary\r\n"));
}

struct ValueCase {
  const char* name;
  std::string_view line;
  bool stored;
  std::string_view value;
};

TEST(CaptureValue, LineWithoutItsLastTwoCharacters) {
  for (const ValueCase& c : {ValueCase{"crlf_line", "abc\r\n", true, "abc"},
                             ValueCase{"bare_lf_loses_a_character", "abc\n", true, "ab"},
                             ValueCase{"empty_value", "\r\n", true, ""},
                             ValueCase{"lone_newline", "\n", true, ""},
                             ValueCase{"quotes_kept", "a'b\"c\r\n", true, "a'b\"c"}}) {
    std::array<char, kImageNameSize> storage;
    storage.fill('#');
    ASSERT_EQ(c.stored, capture_value(c.line, storage.data(), storage.size())) << c.name;
    EXPECT_EQ(std::string(c.value), std::string(storage.data())) << c.name;
  }
}

TEST(CaptureValue, LongestValueFitsOneMoreIsRefused) {
  struct Field {
    std::size_t storage;
    std::size_t longest;
  };
  for (const Field f : {Field{kImageNameSize, 61}, Field{kImageTypeSize, 29}, Field{kDestinationSize, 109}}) {
    std::array<char, kDestinationSize> storage{};
    const std::string fits = std::string(f.longest, 'v') + "\r\n";
    ASSERT_TRUE(capture_value(fits, storage.data(), f.storage)) << f.storage;
    EXPECT_EQ(std::string(f.longest, 'v'), std::string(storage.data()));
    const std::string too_long = std::string(f.longest + 1, 'w') + "\r\n";
    EXPECT_FALSE(capture_value(too_long, storage.data(), f.storage)) << f.storage;
    EXPECT_EQ(std::string(f.longest, 'v'), std::string(storage.data())) << "a refused value stores nothing";
  }
}

}  // namespace
