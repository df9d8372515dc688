// Stand-in for the product's uninstaller: says what it is and ends.
#include "product/product_definition.h"

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string title = std::string(product::ShortName) + " uninstaller";
  const std::string text = std::string("Uninstaller of ") + product::FullName + " " +
                           product::Version + " by " + product::Publisher + ".";
  // Only OK can be pressed; the answer is not examined on purpose.
  MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
  return 0;
}
