// Times the installation itself, in-process: RunInstallation with every
// shortcut option on, the product not started, into a fresh folder per
// round, with the payloads of a built Setup.exe. Usage:
//   install_bench SETUP_EXE DEST_ROOT ROUNDS
#include "install/installer.h"
#include "platform/com.h"
#include "platform/shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Opens nothing (no editor starts while timing); the rest is the system's.
class QuietShell final : public platform::ShellServices {
 public:
  void OpenDocument(HWND, const std::string&, const std::string&, int) override {}
  void NotifyFolderChanged(const std::string& folder) override {
    platform::SystemShell().NotifyFolderChanged(folder);
  }
  HRESULT CreateObject(REFCLSID classId, IUnknown** object) override {
    return platform::SystemShell().CreateObject(classId, object);
  }
};

class AllOptions final : public install::InstallationHost {
 public:
  bool DeskIconChecked() override { return true; }
  bool StartIconChecked() override { return true; }
  bool RunProgramChecked() override { return false; }
  void ShowDecompressionError() override { std::puts("error decompressing"); }
  HWND OwnerWindow() override { return nullptr; }
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  platform::ComApartment com;
  QuietShell shell;
  platform::SetShellServices(&shell);
  HMODULE payloads =
      LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!payloads) return 3;
  const int rounds = std::atoi(argv[3]);
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    install::Installer installer(payloads);
    AllOptions host;
    const std::string folder = std::string(argv[2]) + "\\run" + std::to_string(round);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const bool installed = installer.RunInstallation(folder, host);
    installer.ReleaseLog();
    QueryPerformanceCounter(&end);
    if (!installed) return 4;
    times.push_back(Milliseconds(start, end));
  }
  std::sort(times.begin(), times.end());
  std::printf("install_ms_median %.1f\n", times[times.size() / 2]);
  return 0;
}
