// The trailer SignScript appends, in both forms: its size and form byte, the signature in it,
// and what OpenSSL's public operation opens that signature to: the unmasked size of the whole
// signed file and the MD5 of the content.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "tests/tools/fixtures.h"
#include "tests/tools/signing_reference.h"
#include "tools/signing/script_signer.h"

namespace {

using signing::Form;

struct ScriptCase {
  const char* name;
  Octets content;
  Form form;
};
void PrintTo(const ScriptCase& row, std::ostream* out) {
  *out << row.name;
}

class ScriptSignature : public ::testing::TestWithParam<ScriptCase> {};

Octets Text(const std::string& text) {
  return Octets(text.begin(), text.end());
}

TEST_P(ScriptSignature, TrailerOpensToTheSizeAndTheContentDigest) {
  const ScriptCase& c = GetParam();
  const signing::SigningKey key(DevKey("key-d.pem"));
  const Octets out = signing::SignScript(c.content, key, c.form);
  const size_t trailer = c.form == Form::Text ? 513 : 257;
  ASSERT_EQ(out.size(), c.content.size() + trailer);
  EXPECT_TRUE(std::equal(c.content.begin(), c.content.end(), out.begin()));
  EXPECT_EQ(out.back(), c.form == Form::Text ? 'T' : 'B');

  const auto signatureStart = out.end() - static_cast<long>(trailer);
  Octets signature(signatureStart, out.end() - 1);
  if (c.form == Form::Text) {
    EXPECT_TRUE(std::all_of(signature.begin(), signature.end(), [](uint8_t ch) {
      return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F');
    }));
    signature = reference::HexDecode(std::string(signature.begin(), signature.end()));
  }
  ASSERT_EQ(signature.size(), 256u);

  const Octets modulus = reference::PemModulus(DevKey("key-d.pem"));
  const Octets message = reference::RawPublic(signature, modulus);
  ASSERT_EQ(message.size(), 256u);
  EXPECT_NE(message[0], 0) << "a leading zero octet would shift every field";
  EXPECT_EQ(reference::UnmaskSize(&message[20]), out.size());
  EXPECT_EQ(Octets(message.begin() + 32, message.begin() + 48), ReferenceMd5(c.content));

  const reference::HelperDecoding helper = reference::DecodeAsTheHelper(signature, modulus);
  EXPECT_EQ(helper.length, 48u);
  EXPECT_EQ(helper.decoded, message);
}

const ScriptCase kScriptCases[] = {
    {"EmptyBinary", {}, Form::Binary},
    {"EmptyText", {}, Form::Text},
    {"OneLineBinary", Text("WScript.Quit 0\r\n"), Form::Binary},
    {"OneLineText", Text("WScript.Quit 0\r\n"), Form::Text},
    {"EndsLikeATrailerBinary", Text("ends in B"), Form::Binary},
    {"EndsLikeATrailerText", Text("ends in T"), Form::Text},
    {"LargeBinary", Filler(70000), Form::Binary},
    {"LargeText", Filler(70000), Form::Text},
};

INSTANTIATE_TEST_SUITE_P(Contents, ScriptSignature, ::testing::ValuesIn(kScriptCases),
                         ::testing::PrintToStringParamName());

}  // namespace
