#include "shell/password_encoding.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(PasswordEncoding, RoundTripOfEveryCode) {
  std::string all;
  for (int c = 1; c <= 255; ++c) {
    std::string one(1, static_cast<char>(c));
    EXPECT_EQ(DecodePassword(EncodePassword(one)), one) << c;
    all += one;
  }
  EXPECT_EQ(DecodePassword(EncodePassword(all)), all);
}

TEST(PasswordEncoding, StoredForm) {
  EXPECT_EQ(EncodePassword(""), "");
  EXPECT_EQ(EncodePassword("Ab"), std::to_string('A' - kPasswordOffset) + "," + std::to_string('b' - kPasswordOffset));
  EXPECT_EQ(EncodePassword("\x01"), std::to_string(1 - kPasswordOffset));  // negative numbers are signed decimals
  EXPECT_EQ(EncodePassword("a", 10), "87");
}

TEST(PasswordEncoding, BadInputDecodesToEmpty) {
  for (const char* bad : {"", "x", "28,", ",28", "28,,28", "28;28", "28 ,28", "1e3", "99999999999999999999",
                          "300", "-100"}) {
    EXPECT_EQ(DecodePassword(bad), "") << bad;
  }
}

}  // namespace
}  // namespace qm
