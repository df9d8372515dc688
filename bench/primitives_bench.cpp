// What the system calls an installation is made of cost on this machine, one
// by one, made the way the installation makes them: the install log's
// profile writes, the payload files created and written in 61,440-byte
// chunks, the folders made, the shell links saved and the internet shortcuts
// written into a folder of the Start menu and that folder announced, the
// registry keys opened and values read and set. Each is timed ROUNDS times;
// the median per call, times how often one installation with every shortcut
// option on makes that call, says where the floor under the installation's
// time goes (install_bench times the floor itself: the same calls as one
// run). Usage:
//   primitives_bench WORK_FOLDER ROUNDS [PAYLOAD_BYTES...]
// PAYLOAD_BYTES: the inflated size of each payload file, in table order.
#include "bench/installation_calls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::LinkName;
using bench::SaveLink;
using bench::ShellFolder;
using bench::WriteFileOfSize;
using bench::WriteInternetShortcut;

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

struct Primitive {
  const char* name;
  int perInstallation;  // calls one installation with every option on makes
  double milliseconds;
};

void Print(const std::vector<Primitive>& primitives) {
  double floor = 0;
  for (const Primitive& p : primitives) {
    std::printf("primitive %-28s %7.2f ms x %2d = %7.1f ms\n", p.name, p.milliseconds,
                p.perInstallation, p.milliseconds * p.perInstallation);
    floor += p.milliseconds * p.perInstallation;
  }
  std::printf("primitives_floor_ms %.1f\n", floor);
}

// The install log: 19 entries and the release that writes it out.
void AddLogCalls(std::vector<Primitive>& primitives, const std::string& folder, int rounds) {
  const std::string log = folder + "\\install.log";
  const std::string value = folder + "\\Quorvelle.exe";
  primitives.push_back({"profile write (log entry)", 19, Median(rounds * 4, [&](int round) {
                          const std::string key = std::to_string(round + 1);
                          WritePrivateProfileStringA("Files", key.c_str(), value.c_str(),
                                                     log.c_str());
                        })});
  primitives.push_back({"profile written out", 1, Median(rounds, [&](int) {
                          WritePrivateProfileStringA(nullptr, nullptr, nullptr, log.c_str());
                        })});
}

// The destination and the Start-menu folder made, the payload files written
// (each looked for once written) and the other paths looked for on the way:
// the destination twice and its parent, the old log (each link's folder is
// looked for with its link).
void AddFileCalls(std::vector<Primitive>& primitives, const std::string& folder, int rounds,
                  const std::vector<size_t>& payloadSizes) {
  primitives.push_back({"folder created", 2, Median(rounds, [&](int round) {
                          const std::string made = folder + "\\made" + std::to_string(round);
                          CreateDirectoryA(made.c_str(), nullptr);
                        })});
  primitives.push_back(
      {"path looked for", 4, Median(rounds * 4, [&](int) { GetFileAttributesA(folder.c_str()); })});
  if (payloadSizes.empty()) return;
  primitives.push_back({"payload files written", 1, Median(rounds, [&](int round) {
                          for (size_t i = 0; i < payloadSizes.size(); ++i) {
                            WriteFileOfSize(folder + "\\payload" + std::to_string(round) + "_" +
                                                std::to_string(i),
                                            payloadSizes[i]);
                          }
                        })});
}

// Three links and two internet shortcuts, all in one folder of the Start
// menu, and that folder announced after each.
void AddShellCalls(std::vector<Primitive>& primitives, const std::string& work, int rounds) {
  const std::string folder = ShellFolder("Programs", work) + "\\SetupPrimitivesBench";
  CreateDirectoryA(folder.c_str(), nullptr);  // may exist: the saves below tell
  const std::string target = work + "\\target.exe";
  // The shell-link library's first load is not a per-link cost.
  SaveLink(folder, target, LinkName(folder, -1));
  primitives.push_back({"shell link saved", 3, Median(rounds, [&](int round) {
                          SaveLink(folder, target, LinkName(folder, round));
                        })});
  primitives.push_back({"internet shortcut written", 2, Median(rounds, [&](int round) {
                          WriteInternetShortcut(folder + "\\page" + std::to_string(round) + ".url");
                        })});
  primitives.push_back({"folder announced", 5, Median(rounds, [&](int) {
                          SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, folder.c_str(), nullptr);
                        })});
}

// The Explorer key opened, "Shell Folders" opened for each of two reads, the
// uninstall key opened, and its sixteen values set (under `key`).
void AddRegistryCalls(std::vector<Primitive>& primitives, HKEY key, const std::string& value,
                      int rounds) {
  primitives.push_back({"registry key opened", 4, Median(rounds * 4, [&](int) {
                          platform::UniqueKey opened;
                          RegCreateKeyExA(HKEY_CURRENT_USER, bench::kShellFolders.c_str(), 0,
                                          nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.put(),
                                          nullptr);
                        })});
  primitives.push_back({"shell folder value read", 2,
                        Median(rounds * 4, [&](int) { ShellFolder("Desktop", value); })});
  primitives.push_back({"registry value set", 16, Median(rounds * 4, [&](int round) {
                          const std::string name = "Value" + std::to_string(round);
                          RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1));
                        })});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string folder = argv[1];
  const int rounds = std::max(1, std::atoi(argv[2]));
  std::vector<size_t> payloadSizes;
  for (int i = 3; i < argc; ++i) payloadSizes.push_back(std::strtoul(argv[i], nullptr, 10));
  CreateDirectoryA(folder.c_str(), nullptr);  // may exist: the writes below tell
  platform::ComApartment com;
  platform::UniqueKey values;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SetupPrimitivesBench", 0, nullptr,
                      REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, values.put(),
                      nullptr) != ERROR_SUCCESS) {
    return 5;
  }
  std::vector<Primitive> primitives;
  AddLogCalls(primitives, folder, rounds);
  AddFileCalls(primitives, folder, rounds, payloadSizes);
  AddShellCalls(primitives, folder, rounds);
  AddRegistryCalls(primitives, values.get(), folder + "\\Quorvelle.exe", rounds);
  Print(primitives);
  return 0;
}
