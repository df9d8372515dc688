// extract_bench MODULE [ROUNDS [NAME]]: times ExtractPayload on the "PAYLOAD"
// resource of MODULE (or NAME: a built Setup.exe's "QUORVELLE") against a plain one-pass inflate of
// the same resource into the same kind of file, alternating the two, and prints the medians, their
// ratio and the process's peak memory before and after extracting.
#include "install/installer.h"
#include "platform/error.h"
#include "platform/unique_resource.h"

#include <psapi.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct PeakMemory {
  SIZE_T workingSet;
  SIZE_T pagefile;
};

PeakMemory MeasurePeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{sizeof counters};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return {0, 0};
  return {counters.PeakWorkingSetSize, counters.PeakPagefileUsage};
}

template <typename Action>
double Milliseconds(Action action) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  action();
  QueryPerformanceCounter(&end);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

struct Inflater {
  z_stream stream{};
  Inflater() {
    if (inflateInit(&stream) != Z_OK) platform::Raise("inflateInit failed");
  }
  ~Inflater() { inflateEnd(&stream); }
};

// The reference: the stored stream inflated once, straight from the
// resource, each 64 KiB of output written as it comes.
void OnePassInflate(const void* stored, size_t size, const std::string& target) {
  platform::UniqueFile file(CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) platform::Raise("cannot create " + target);
  Inflater inflater;
  inflater.stream.next_in = static_cast<Bytef*>(const_cast<void*>(stored));
  inflater.stream.avail_in = static_cast<uInt>(size);
  std::vector<Bytef> out(65536);
  for (int result = Z_OK; result != Z_STREAM_END;) {
    inflater.stream.next_out = out.data();
    inflater.stream.avail_out = static_cast<uInt>(out.size());
    result = inflate(&inflater.stream, Z_NO_FLUSH);
    if (result < 0) platform::Raise("inflate failed");
    const DWORD produced = static_cast<DWORD>(out.size() - inflater.stream.avail_out);
    DWORD written = 0;
    if (!WriteFile(file.get(), out.data(), produced, &written, nullptr) || written != produced) {
      platform::Raise("write failed");
    }
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

unsigned long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Compared a megabyte at a time: a product's file may not fit in memory.
bool SameContent(const std::string& first, const std::string& second) {
  const auto open = [](const std::string& path) {
    return platform::UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  const platform::UniqueFile a = open(first), b = open(second);
  if (!a || !b || FileSize(first) != FileSize(second)) return false;
  std::vector<char> one(1 << 20), two(1 << 20);
  for (;;) {
    DWORD readOne = 0, readTwo = 0;
    if (!::ReadFile(a.get(), one.data(), static_cast<DWORD>(one.size()), &readOne, nullptr) ||
        !::ReadFile(b.get(), two.data(), static_cast<DWORD>(two.size()), &readTwo, nullptr) ||
        readOne != readTwo) {
      return false;
    }
    if (readOne == 0) return true;
    if (std::memcmp(one.data(), two.data(), readOne) != 0) return false;
  }
}

double MiB(SIZE_T bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void PrintMemory(const char* when, const PeakMemory& memory, const PeakMemory& before) {
  std::printf("  %-28s working set %8.1f MiB (+%6.1f)   pagefile %8.1f MiB (+%6.1f)\n", when,
              MiB(memory.workingSet), MiB(memory.workingSet - before.workingSet),
              MiB(memory.pagefile), MiB(memory.pagefile - before.pagefile));
}

int Run(const std::string& modulePath, int rounds, const std::string& name) {
  platform::UniqueModule module(
      LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) platform::Raise("cannot load " + modulePath);
  HRSRC found = FindResourceA(module.get(), name.c_str(), "BINARY");
  if (!found) platform::Raise("no " + name + " resource in " + modulePath);
  const size_t storedSize = SizeofResource(module.get(), found);
  const void* stored = LockResource(LoadResource(module.get(), found));

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string extracted = std::string(temp) + "extract_bench_payload.bin";
  const std::string reference = std::string(temp) + "extract_bench_reference.bin";
  install::Installer installer(module.get());

  const PeakMemory before = MeasurePeakMemory();
  std::vector<double> extractTimes, onePassTimes;
  extractTimes.push_back(Milliseconds([&] { installer.ExtractPayload(extracted, name); }));
  const PeakMemory afterExtract = MeasurePeakMemory();
  for (int round = 0; round < rounds; ++round) {
    onePassTimes.push_back(Milliseconds([&] { OnePassInflate(stored, storedSize, reference); }));
    extractTimes.push_back(Milliseconds([&] { installer.ExtractPayload(extracted, name); }));
  }
  const PeakMemory afterAll = MeasurePeakMemory();

  const unsigned long long inflated = FileSize(extracted);
  const bool same = SameContent(extracted, reference);
  DeleteFileA(extracted.c_str());  // scratch files; results not examined
  DeleteFileA(reference.c_str());

  const double extract = Median(extractTimes), onePass = Median(onePassTimes);
  std::printf("payload: %zu bytes stored, %llu bytes inflated; outputs %s\n", storedSize, inflated,
              same ? "identical" : "DIFFER");
  std::printf("  ExtractPayload   median %9.2f ms  (%7.1f MB/s of output)\n", extract,
              inflated / extract / 1000.0);
  std::printf("  one-pass inflate median %9.2f ms  (%7.1f MB/s of output)\n", onePass,
              inflated / onePass / 1000.0);
  std::printf("  ratio ExtractPayload / one-pass: %.2f  (%d rounds each)\n", extract / onePass,
              rounds + 1);
  PrintMemory("peak before extracting", before, before);
  PrintMemory("peak after ExtractPayload", afterExtract, before);
  PrintMemory("peak after all rounds", afterAll, before);
  return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: extract_bench MODULE [ROUNDS [NAME]]\n");
    return 2;
  }
  try {
    return Run(argv[1], argc > 2 ? std::max(1, std::atoi(argv[2])) : 5,
               argc > 3 ? argv[3] : "PAYLOAD");
  } catch (const platform::SetupError& error) {
    std::fprintf(stderr, "extract_bench: %s\n", error.what());
    return 1;
  }
}
