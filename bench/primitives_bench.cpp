// What the system calls an installation is made of cost on this machine, one
// by one: a profile write (one install.log entry), a shell link saved, a
// folder announced to the shell, a registry value set. Each is timed ROUNDS
// times in a folder of its own; the median per call, times how often one
// installation makes that call, gives the floor under the installation's
// time that no code of ours can go below. Usage:
//   primitives_bench WORK_FOLDER ROUNDS
#include "platform/com.h"
#include "platform/unique_resource.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median milliseconds of one call over `rounds` calls (each given its round).
double Median(int rounds, const std::function<void(int)>& call) {
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    const double start = Now();
    call(round);
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void SaveLink(const std::string& folder, int round) {
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) {
    std::exit(3);
  }
  const std::string target = folder + "\\target.exe";
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(folder.c_str());
  link->SetDescription("Benchmark");
  link->SetIconLocation(target.c_str(), 0);
  const std::wstring name =
      std::wstring(folder.begin(), folder.end()) + L"\\link" + std::to_wstring(round) + L".lnk";
  if (FAILED(file->Save(name.c_str(), FALSE))) std::exit(4);
}

struct Primitive {
  const char* name;
  int perInstallation;  // calls one installation with every option on makes
  double milliseconds;
};

void Print(const std::vector<Primitive>& primitives) {
  double floor = 0;
  for (const Primitive& p : primitives) {
    std::printf("primitive %-24s %7.2f ms x %2d = %7.1f ms\n", p.name, p.milliseconds,
                p.perInstallation, p.milliseconds * p.perInstallation);
    floor += p.milliseconds * p.perInstallation;
  }
  std::printf("primitives_floor_ms %.1f\n", floor);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string folder = argv[1];
  const int rounds = std::max(1, std::atoi(argv[2]));
  CreateDirectoryA(folder.c_str(), nullptr);  // may exist: the writes below tell
  platform::ComApartment com;
  const std::string log = folder + "\\install.log";
  const std::string value = folder + "\\Quorvelle.exe";
  std::vector<Primitive> primitives;
  primitives.push_back({"profile write (log entry)", 20, Median(rounds * 4, [&](int round) {
                          const std::string key = std::to_string(round + 1);
                          WritePrivateProfileStringA("Files", key.c_str(), value.c_str(),
                                                     log.c_str());
                        })});
  SaveLink(folder, -1);  // the shell-link library's first load is not a per-link cost
  primitives.push_back(
      {"shell link saved", 3, Median(rounds, [&](int round) { SaveLink(folder, round); })});
  primitives.push_back({"folder announced", 5, Median(rounds, [&](int) {
                          SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, folder.c_str(), nullptr);
                        })});
  platform::UniqueKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SetupPrimitivesBench", 0, nullptr,
                      REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return 5;
  }
  primitives.push_back({"registry value set", 17, Median(rounds * 4, [&](int round) {
                          const std::string name = "Value" + std::to_string(round);
                          RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1));
                        })});
  Print(primitives);
  return 0;
}
