#include "wizard/folder_browser.h"

#include "install/destination_folder.h"
#include "platform/unique_resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

// The folder dialog, shown for real and answered from a second thread.
class FolderBrowser : public ::testing::Test {
 protected:
  static constexpr const char* kTitle = "Browse for Folder";

  FolderBrowser() {
    owner_.reset(CreateWindowExA(0, "STATIC", "hidden owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr));
    wizard_.reset(CreateWindowExA(0, "STATIC", "wizard", WS_POPUP | WS_VISIBLE, 100, 100, 386, 251,
                                  nullptr, nullptr, nullptr, nullptr));
  }

  std::optional<std::string> Browse() {
    return wizard::BrowseForFolder(owner_.get(), "Select destination folder", wizard_.get());
  }

  // The dialog's tree, its selection and its OK button.
  static HWND Tree(HWND dialog) { return FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr); }
  static HWND OkButton(HWND dialog) { return test::FindChild(dialog, "Button", "OK"); }
  static std::string SelectedText(HWND dialog) {
    char text[MAX_PATH] = "";
    TVITEMA item{TVIF_TEXT};
    item.hItem = TreeView_GetSelection(Tree(dialog));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem ||
        !SendMessageA(Tree(dialog), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
      return {};
    }
    return text;
  }

  platform::UniqueWindow owner_;
  platform::UniqueWindow wizard_;
  test::TempFolder folder_;
};

TEST_F(FolderBrowser, OpensCentredWithNothingSelectedAndCancelGivesNothing) {
  bool wizardEnabledWhileOpen = true;
  RECT box{}, expected{};
  HTREEITEM initialSelection = reinterpret_cast<HTREEITEM>(-1);
  HTREEITEM root = nullptr;
  test::DialogDriver driver(kTitle, [&](HWND dialog) {
    wizardEnabledWhileOpen = IsWindowEnabled(wizard_.get());
    box = test::WindowRect(dialog);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoA(MonitorFromWindow(wizard_.get(), MONITOR_DEFAULTTONEAREST), &monitor);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    expected.left = (monitor.rcMonitor.right - monitor.rcMonitor.left - width) / 2;
    expected.top = (monitor.rcMonitor.bottom - monitor.rcMonitor.top - height) / 2;
    initialSelection = TreeView_GetSelection(Tree(dialog));
    root = TreeView_GetRoot(Tree(dialog));
    EXPECT_NE(test::FindChild(dialog, "Static", "Select destination folder"), nullptr);
    test::Press(test::FindChild(dialog, "Button", "Cancel"));
  });
  EXPECT_EQ(Browse(), std::nullopt);
  ASSERT_TRUE(driver.Finish());
  EXPECT_FALSE(wizardEnabledWhileOpen);
  EXPECT_TRUE(IsWindowEnabled(wizard_.get()));
  EXPECT_TRUE(IsWindowEnabled(owner_.get()));
  EXPECT_EQ(box.left, expected.left);
  EXPECT_EQ(box.top, expected.top);
  // No folder chosen for the user: Wine puts the caret on the namespace's
  // root (the desktop), where Windows may leave the tree without one.
  EXPECT_TRUE(initialSelection == nullptr || initialSelection == root) << initialSelection;
}

TEST_F(FolderBrowser, OkGivesTheSelectedFoldersPath) {
  const std::string chosen = folder_ / "Chosen place";
  ASSERT_TRUE(CreateDirectoryA(chosen.c_str(), nullptr));
  test::DialogDriver driver(kTitle, [&](HWND dialog) {
    // The dialog may still be settling on its start item; select until the
    // choice holds.
    for (int tries = 0; tries < 20 && SelectedText(dialog) != "Chosen place"; ++tries) {
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
      Sleep(100);
    }
    EXPECT_EQ(SelectedText(dialog), "Chosen place");
    test::Press(OkButton(dialog));
  });
  const auto path = Browse();
  ASSERT_TRUE(driver.Finish());
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(
      CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path->c_str(), -1, chosen.c_str(), -1),
      CSTR_EQUAL)
      << *path << " vs " << chosen;
  EXPECT_EQ(install::ProductFolderIn(*path), *path + "\\Quorvelle");
}

TEST_F(FolderBrowser, WindowsDisabledBeforeStayDisabled) {
  EnableWindow(wizard_.get(), FALSE);
  test::DialogDriver driver(kTitle, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
  EXPECT_EQ(Browse(), std::nullopt);
  ASSERT_TRUE(driver.Finish());
  EXPECT_FALSE(IsWindowEnabled(wizard_.get()));
  EXPECT_TRUE(IsWindowEnabled(owner_.get()));
}

}  // namespace
