#include "platform/shell.h"

#include "platform/com.h"
#include "tests/support/test_support.h"

#include <shlobj.h>
#include <gtest/gtest.h>

namespace {

TEST(ShellServices, AReplacementSeesRequestsAndIsRemovedAfterwards) {
  {
    test::RecordingShell recording;
    EXPECT_EQ(&platform::Shell(), &recording);
    platform::Shell().OpenDocument(nullptr, "https://www.nerovane.example", "", SW_SHOWDEFAULT);
    platform::Shell().NotifyFolderChanged("C:\\x\\");
    ASSERT_EQ(recording.opened.size(), 1u);
    EXPECT_EQ(recording.opened[0].file, "https://www.nerovane.example");
    EXPECT_EQ(recording.opened[0].showCommand, SW_SHOWDEFAULT);
    EXPECT_EQ(recording.notified, std::vector<std::string>{"C:\\x\\"});
  }
  EXPECT_EQ(&platform::Shell(), &platform::SystemShell());
}

TEST(ShellServices, CreatesTheShellLinkObject) {
  platform::ComApartment com;
  platform::ComPtr<IUnknown> object;
  ASSERT_EQ(platform::SystemShell().CreateObject(CLSID_ShellLink, object.put()), S_OK);
  platform::ComPtr<IShellLinkA> link;
  EXPECT_EQ(object->QueryInterface(IID_IShellLinkA, link.put_void()), S_OK);
}

TEST(ShellServices, AnInjectedFailureIsReturnedWithoutCreating) {
  platform::ComApartment com;
  test::RecordingShell recording;
  recording.createFailure = E_OUTOFMEMORY;
  platform::ComPtr<IUnknown> object;
  EXPECT_EQ(platform::Shell().CreateObject(CLSID_ShellLink, object.put()), E_OUTOFMEMORY);
  EXPECT_FALSE(object);
}

}  // namespace
