#include "product/product_definition.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ProductDefinition, PayloadRowsHoldBothNamesInInstallOrder) {
  const char* expected[4][2] = {{"quorvelle", "Quorvelle.exe"},
                                {"uninstall", "Uninstall.exe"},
                                {"copyright", "Copyright.txt"},
                                {"help", "help.txt"}};
  for (size_t row = 0; row < product::PayloadTable.size(); ++row) {
    EXPECT_STREQ(product::PayloadTable[row].resourceName, expected[row][0]) << "row " << row + 1;
    EXPECT_STREQ(product::PayloadTable[row].fileName, expected[row][1]) << "row " << row + 1;
  }
  EXPECT_STREQ(product::MainProgram.fileName, "Quorvelle.exe");
  EXPECT_STREQ(product::Uninstaller.fileName, "Uninstall.exe");
  EXPECT_STREQ(product::HelpText.fileName, "help.txt");
}

TEST(ProductDefinition, ListsHaveTheirFixedLengthsAndOrder) {
  ASSERT_EQ(product::RuntimeFiles.size(), 5u);
  const char* runtime[] = {"ActLog.txt", "Channels.ini", "FileSharing.ini", "OfflineMsg.ini",
                           "Users.ini"};
  for (size_t i = 0; i < 5; ++i) EXPECT_STREQ(product::RuntimeFiles[i], runtime[i]);
  // The single empty entries preserve no payload file and add no folder.
  ASSERT_EQ(product::PreservedFiles.size(), 1u);
  EXPECT_STREQ(product::PreservedFiles[0], "");
  ASSERT_EQ(product::ExtraFolders.size(), 1u);
  EXPECT_STREQ(product::ExtraFolders[0], "");
}

TEST(ProductDefinition, AddressesHaveTheFormReadersExpect) {
  for (const char* url : {product::PublisherUrl, product::ProductUrl, product::UpdateUrl}) {
    const std::string text = url;
    EXPECT_EQ(text.rfind("https://", 0), 0u) << text;
    EXPECT_EQ(text.find('/', 8), std::string::npos) << "no path expected: " << text;
  }
  EXPECT_STREQ(product::UpdateUrl, product::ProductUrl);
  EXPECT_NE(std::strchr(product::ContactAddress, '@'), nullptr);
  EXPECT_EQ(product::VersionMajor, 5);
  EXPECT_EQ(product::VersionMinor, 0);
}

}  // namespace
