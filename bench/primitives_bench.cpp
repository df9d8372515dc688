// What the system calls an installation is made of cost on this machine, one
// by one, made the way the installation makes them: the install log's
// profile writes, the payload files created and written in 61,440-byte
// chunks, the folders made, the shell links saved and the internet shortcuts
// written into a folder of the Start menu and that folder announced, the
// registry keys opened and values read and set. Each is timed ROUNDS times;
// the median per call, times how often one installation with every shortcut
// option on makes that call, is printed with their sum. Then the same calls,
// one after another in the installation's order, are timed as a whole ROUNDS
// times: their median is the floor under the installation's time that no
// code of ours can go below. Usage:
//   primitives_bench WORK_FOLDER ROUNDS [PAYLOAD_BYTES...]
// PAYLOAD_BYTES: the inflated size of each payload file, in table order.
#include "platform/com.h"
#include "platform/security.h"
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

constexpr const char* kShellFolders =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A folder of the user's shell ("Desktop", "Programs": where the
// installation puts its links); the work folder when the system names none.
std::string ShellFolder(const char* name, const std::string& fallback) {
  platform::UniqueKey key;
  char text[MAX_PATH] = {};
  DWORD size = sizeof text - 1;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, key.put()) != ERROR_SUCCESS ||
      RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS) {
    return fallback;
  }
  return text;
}

// A link saved the way the installation saves one, its folder looked for
// first; `folder` is also its working folder.
void SaveLink(const std::string& folder, const std::string& target, const std::string& path) {
  platform::ComPtr<IUnknown> object;
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(object.put()))) ||
      FAILED(object->QueryInterface(IID_IShellLinkA, link.put_void())) ||
      FAILED(object->QueryInterface(IID_IPersistFile, file.put_void()))) {
    std::exit(3);
  }
  link->SetArguments("");
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(folder.c_str());
  link->SetDescription("Benchmark");
  link->SetIconLocation(target.c_str(), 0);
  GetFileAttributesA(folder.c_str());
  if (FAILED(file->Save(std::wstring(path.begin(), path.end()).c_str(), FALSE))) std::exit(4);
}

std::string LinkName(const std::string& folder, int round) {
  return folder + "\\link" + std::to_string(round) + ".lnk";
}

// Created or truncated, written in chunks of at most 61,440 bytes, closed,
// then looked for, as each payload file is.
void WriteFileOfSize(const std::string& path, size_t size) {
  static std::vector<char> chunk(61440, 'x');
  {
    const platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
    if (!file) std::exit(6);
    for (size_t left = size; left > 0;) {
      const DWORD count = static_cast<DWORD>(std::min(left, chunk.size()));
      DWORD written = 0;
      if (!WriteFile(file.get(), chunk.data(), count, &written, nullptr)) std::exit(7);
      left -= count;
    }
  }
  GetFileAttributesA(path.c_str());
}

void WriteInternetShortcut(const std::string& path) {
  static const std::string text =
      "[DEFAULT]\r\nBASEURL=https://example.invalid/\r\n"
      "[InternetShortcut]\r\nURL=https://example.invalid/\r\n";
  const platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
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
                          RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, opened.put(), nullptr);
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

// One installation's system calls, in its order and with nothing of ours
// between them: what the whole of RunInstallation is compared with, since
// the median of a sequence of calls is more than the sum of their medians.
class Replay {
 public:
  Replay(const std::string& work, std::vector<size_t> payloadSizes, HKEY values)
      : work_(work),
        desktop_(ShellFolder("Desktop", work)),
        programs_(ShellFolder("Programs", work)),
        payloadSizes_(std::move(payloadSizes)),
        values_(values) {}

  void Run(int round) {
    destination_ =
        work_ + "\\replay" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(round);
    log_ = destination_ + "\\install.log";
    fileKey_ = folderKey_ = 1;
    GetFileAttributesA(destination_.c_str());
    CreateDestination();
    GetFileAttributesA(log_.c_str());
    for (const char* key : {"ShortName", "FullName", "Version"}) {
      WritePrivateProfileStringA("Application", key, "Value", log_.c_str());
    }
    for (size_t i = 0; i < payloadSizes_.size(); ++i) {
      const std::string path = destination_ + "\\payload" + std::to_string(i);
      WriteFileOfSize(path, payloadSizes_[i]);
      LogFile(path);
    }
    Shortcuts(round);
    Registration();
    for (int i = 0; i < 5; ++i) LogFile(destination_ + "\\runtime.ini");
    LogFolder(destination_);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, log_.c_str());
  }

 private:
  // With administrator rights the installation gives the folder it makes a
  // protected access list, which every file made in it then inherits.
  void CreateDestination() {
    const platform::UniqueLocalMemory descriptor = platform::IsElevated()
                                                       ? platform::ProtectedFolderSecurity()
                                                       : platform::UniqueLocalMemory();
    SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
    CreateDirectoryA(destination_.c_str(), descriptor ? &security : nullptr);
  }
  void Log(const char* section, int& key, const std::string& value) {
    WritePrivateProfileStringA(section, std::to_string(key++).c_str(), value.c_str(), log_.c_str());
  }
  void LogFile(const std::string& path) { Log("Files", fileKey_, path); }
  void LogFolder(const std::string& path) { Log("Folders", folderKey_, path); }
  void Link(const std::string& folder, const std::string& path) {
    SaveLink(destination_, destination_ + "\\payload0", path);
    LogFile(path);
    SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, folder.c_str(), nullptr);
  }
  void Shortcuts(int round) {
    platform::UniqueKey explorer;
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    explorer.put(), nullptr);
    ShellFolder("Desktop", work_);
    Link(desktop_, LinkName(desktop_, round));
    ShellFolder("Programs", work_);
    const std::string startMenu = programs_ + "\\SetupReplay" + std::to_string(round);
    CreateDirectoryA(startMenu.c_str(), nullptr);
    LogFolder(startMenu);
    Link(startMenu, startMenu + "\\program.lnk");
    Link(startMenu, startMenu + "\\help.lnk");
    for (const char* page : {"\\publisher.url", "\\product.url"}) {
      WriteInternetShortcut(startMenu + page);
      LogFile(startMenu + page);
      SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, startMenu.c_str(), nullptr);
    }
  }
  void Registration() {
    platform::UniqueKey key;
    RegCreateKeyExA(values_, "Uninstall", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    for (int i = 0; i < 16; ++i) {
      const std::string name = "Value" + std::to_string(i);
      RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(destination_.c_str()),
                     static_cast<DWORD>(destination_.size() + 1));
    }
  }

  std::string work_, desktop_, programs_, destination_, log_;
  std::vector<size_t> payloadSizes_;
  HKEY values_;
  int fileKey_ = 1, folderKey_ = 1;
};

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
  Replay replay(folder, payloadSizes, values.get());
  std::printf("primitives_sequence_ms %.1f\n",
              Median(rounds, [&](int round) { replay.Run(round); }));
  return 0;
}
