#include "accounts/account_list.h"

#include <gtest/gtest.h>

#include "accounts/account_settings.h"
#include "accounts/test_paths.h"
#include "platform/file_system.h"

namespace qm {
namespace {

class AccountListTest : public DataDirTest {
 protected:
  void MakeDir(const std::string& name) { ASSERT_TRUE(ForceDirectories(MailDir + name)); }
};

TEST_F(AccountListTest, OnlyDirectoriesWithoutFolderExtensionAreAccounts) {
  MakeDir("Work");
  MakeDir("Archive.FLD");
  MakeDir("Old.fld");
  WriteFileAtomically(MailDir + "Loose.zqf", "");
  WriteFileAtomically(MailDir + "notes", "");
  EXPECT_EQ(ListAccounts(), (StringList{"Old.fld", "Work"}));
}

TEST_F(AccountListTest, SortedIgnoringCaseAndHiddenOnesLeftOutForComposing) {
  for (const char* n : {"beta", "Gamma", "Alpha", "delta"}) MakeDir(n);
  cAccountSettings hidden;
  hidden.HideWhenComposing = true;
  SaveAccount("Gamma", hidden);
  EXPECT_EQ(ListAccounts(false), (StringList{"Alpha", "beta", "delta", "Gamma"}));
  EXPECT_EQ(ListAccounts(true), (StringList{"Alpha", "beta", "delta"}));
}

TEST_F(AccountListTest, DefaultAccount) {
  EXPECT_EQ(GetDefaultAccount(), "") << "no account";
  MakeDir("Beta");
  MakeDir("Alpha");
  EXPECT_EQ(GetDefaultAccount(), "Alpha") << "empty key: the first of the list";
  OptionsIni->WriteString("Options", "DefaultAccount", "Beta");
  EXPECT_EQ(GetDefaultAccount(), "Beta");
  OptionsIni->WriteString("Options", "DefaultAccount", "Removed");
  EXPECT_EQ(GetDefaultAccount(), "Alpha") << "a default that no longer exists";
}

}  // namespace
}  // namespace qm
