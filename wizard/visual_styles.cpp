#include "wizard/visual_styles.h"

#include "platform/system_library.h"

#include <windows.h>

namespace wizard {

bool VisualStylesActive() {
  using ThemeQuery = BOOL(WINAPI*)();
  // Asked on every label paint: the library is loaded once and kept, while
  // the answer itself is asked afresh, as the user may switch styles.
  static const platform::UniqueModule uxtheme = platform::LoadSystemLibrary("uxtheme.dll");
  const auto isAppThemed = platform::LookUp<ThemeQuery>(uxtheme.get(), "IsAppThemed");
  const auto isThemeActive = platform::LookUp<ThemeQuery>(uxtheme.get(), "IsThemeActive");
  return isAppThemed && isThemeActive && isAppThemed() && isThemeActive();
}

}  // namespace wizard
