// Times the installation itself, in-process: RunInstallation with every
// shortcut option on, the product not started, into a fresh folder per
// round, with the payloads of a built Setup.exe. Given the payloads' sizes,
// each round also times the floor under it, the system calls the
// installation makes made alone in its order (installation_calls.h), the
// two in turns, first one then the other, so that the machine's load falls
// on both alike. Usage:
//   install_bench SETUP_EXE DEST_ROOT ROUNDS [PAYLOAD_BYTES...]
#include "bench/installation_calls.h"
#include "install/installer.h"
#include "platform/com.h"
#include "platform/shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Opens nothing (no editor starts while timing), whether or not the
// installation runs with administrator rights: with them it opens its
// documents through the desktop's shell, which the system's services would
// reach at a cost that is the editor's start, not the installation's. The
// rest is the system's.
class QuietShell final : public platform::ShellServices {
 public:
  void OpenDocument(HWND, const std::string&, const std::string&, int) override {}
  bool OpenDocumentsAsUser(const std::vector<std::string>&, const std::string&, int) override {
    return true;
  }
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

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

class Rounds {
 public:
  Rounds(HMODULE payloads, std::string destinationRoot)
      : payloads_(payloads), destinationRoot_(std::move(destinationRoot)) {}

  // False when the installation failed.
  bool Install(int round) {
    install::Installer installer(payloads_);
    AllOptions host;
    // Fresh also when an earlier run of the benchmark left its folders.
    const std::string folder = destinationRoot_ + "\\run" + std::to_string(GetCurrentProcessId()) +
                               "_" + std::to_string(round);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const bool installed = installer.RunInstallation(folder, host);
    installer.ReleaseLog();
    QueryPerformanceCounter(&end);
    installs_.push_back(Milliseconds(start, end));
    return installed;
  }
  void Replay(bench::InstallationCalls& calls, int round) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    calls.Run(round);
    QueryPerformanceCounter(&end);
    floors_.push_back(Milliseconds(start, end));
  }
  void Print() const {
    std::printf("install_ms_median %.1f\n", Median(installs_));
    if (!floors_.empty()) std::printf("install_floor_ms_median %.1f\n", Median(floors_));
  }

 private:
  HMODULE payloads_;
  std::string destinationRoot_;
  std::vector<double> installs_, floors_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  platform::ComApartment com;
  QuietShell shell;
  platform::SetShellServices(&shell);
  HMODULE payloads =
      LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!payloads) return 3;
  const int rounds = std::max(1, std::atoi(argv[3]));
  std::vector<size_t> payloadSizes;
  for (int i = 4; i < argc; ++i) payloadSizes.push_back(std::strtoul(argv[i], nullptr, 10));
  platform::UniqueKey values;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SetupInstallBench", 0, nullptr,
                      REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, values.put(),
                      nullptr) != ERROR_SUCCESS) {
    return 5;
  }
  const std::string floorFolder = std::string(argv[2]) + "\\floor";
  CreateDirectoryA(argv[2], nullptr);  // either may exist already
  CreateDirectoryA(floorFolder.c_str(), nullptr);
  bench::InstallationCalls calls(floorFolder, payloadSizes, values.get());
  // The shell-link library's first load and the shell folders' first reads
  // fall on no timed round of either.
  if (!payloadSizes.empty()) calls.Run(-1);
  Rounds timed(payloads, argv[2]);
  for (int round = 0; round < rounds; ++round) {
    const bool installFirst = round % 2 == 0;
    if (!payloadSizes.empty() && !installFirst) timed.Replay(calls, round);
    if (!timed.Install(round)) return 4;
    if (!payloadSizes.empty() && installFirst) timed.Replay(calls, round);
  }
  timed.Print();
  return 0;
}
