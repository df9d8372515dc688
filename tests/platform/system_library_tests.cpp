#include "platform/system_library.h"

#include "platform/com.h"
#include "platform/shell.h"

#include <shlobj.h>
#include <gtest/gtest.h>

namespace {

TEST(SystemLibrary, LoadsFromTheSystemFolderAndFindsFunctions) {
  const platform::UniqueModule module = platform::LoadSystemLibrary("version.dll");
  ASSERT_TRUE(module);
  char path[MAX_PATH];
  GetModuleFileNameA(module.get(), path, MAX_PATH);
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(_strnicmp(path, system, strlen(system)), 0) << path;
  EXPECT_NE(platform::LookUp<void (*)()>(module.get(), "GetFileVersionInfoA"), nullptr);
  EXPECT_EQ(platform::LookUp<void (*)()>(module.get(), "NoSuchFunction"), nullptr);
  EXPECT_FALSE(platform::LoadSystemLibrary("no-such-library.dll"));
}

TEST(SystemLibrary, TheShellLinkObjectStillWorksAfterTheSearchIsRestricted) {
  platform::HardenDllSearch();
  platform::ComApartment com;
  platform::ComPtr<IUnknown> object;
  ASSERT_EQ(platform::SystemShell().CreateObject(CLSID_ShellLink, object.put()), S_OK);
  platform::ComPtr<IShellLinkA> link;
  EXPECT_EQ(object->QueryInterface(IID_IShellLinkA, link.put_void()), S_OK);
}

}  // namespace
