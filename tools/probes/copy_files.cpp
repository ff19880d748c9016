// The yardstick for the engine's synchronisation under Wine: copies the given
// files into a folder with the platform's own CopyFileW, one after another,
// without flushing or reading back, and prints the throughput. What the
// engine does beyond that (temporary name, flush, read-back compare, rename)
// is the price of copies that lose nothing.
//
// With --verified THREADS it copies the way the engine does, and nothing
// else: each file read whole, written to a temporary name in pieces of a
// quarter megabyte, flushed, read back uncached and compared, renamed into
// place, on THREADS threads. What the engine takes beyond that is the price
// of its own steps (the job's look-ups, its hand-offs, its progress).
//
// usage: copy_files.exe [--verified THREADS] TARGET_FOLDER FILE...
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "os/win32/unique_handle.h"

namespace {

using os::win32::FileHandle;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring NameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

constexpr DWORD kPiece = 256u << 10;

struct ReleaseMemory {
  void operator()(void* memory) const { VirtualFree(memory, 0, MEM_RELEASE); }
};

// One verified copy; false on any failure or difference.
bool VerifiedCopy(const std::wstring& source, const std::wstring& temporary,
                  const std::wstring& target, std::vector<char>& bytes, char* back) {
  {
    FileHandle in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!in.IsValid() || !GetFileSizeEx(in.Get(), &size)) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(in.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
        got != bytes.size()) {
      return false;
    }
  }
  {
    FileHandle out(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.IsValid()) return false;
    for (std::size_t offset = 0; offset < bytes.size(); offset += kPiece) {
      const DWORD size = static_cast<DWORD>(std::min<std::size_t>(kPiece, bytes.size() - offset));
      DWORD written = 0;
      if (!WriteFile(out.Get(), bytes.data() + offset, size, &written, nullptr) ||
          written != size) {
        return false;
      }
    }
    if (!FlushFileBuffers(out.Get())) return false;
  }
  {
    FileHandle in(CreateFileW(temporary.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr));
    if (!in.IsValid()) return false;
    std::size_t offset = 0;
    for (DWORD got = 1; got != 0; offset += got) {
      if (!ReadFile(in.Get(), back, kPiece, &got, nullptr) || offset + got > bytes.size() ||
          std::memcmp(back, bytes.data() + offset, got) != 0) {
        return false;
      }
    }
    if (offset != bytes.size()) return false;
  }
  return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

int CopyVerified(int threads, const std::wstring& folder, const std::vector<std::wstring>& files) {
  std::atomic<std::size_t> next{0};
  std::atomic<unsigned long long> bytes{0};
  std::atomic<bool> failed{false};
  const double start = Now();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&] {
      std::vector<char> whole;
      // Sector-aligned, as an uncached read wants.
      const std::unique_ptr<void, ReleaseMemory> memory(
          VirtualAlloc(nullptr, kPiece, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
      if (!memory) {
        failed = true;
        return;
      }
      for (std::size_t i = next++; i < files.size() && !failed; i = next++) {
        const std::wstring temporary = folder + L"~verified-" + std::to_wstring(i) + L".tmp";
        if (!VerifiedCopy(files[i], temporary, folder + NameOf(files[i]), whole,
                          static_cast<char*>(memory.get()))) {
          std::fprintf(stderr, "copy_files: file %zu failed (%lu)\n", i + 1, GetLastError());
          failed = true;
        }
        bytes += whole.size();
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  const double seconds = Now() - start;
  std::printf("files=%zu bytes=%llu seconds=%.4f mb_s=%.1f\n", files.size(), bytes.load(), seconds,
              seconds > 0 ? static_cast<double>(bytes.load()) / 1e6 / seconds : 0.0);
  return failed ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 5 && std::wstring(argv[1]) == L"--verified") {
    const int threads = std::max(1, _wtoi(argv[2]));
    return CopyVerified(threads, std::wstring(argv[3]) + L"\\",
                        std::vector<std::wstring>(argv + 4, argv + argc));
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: copy_files.exe [--verified THREADS] TARGET_FOLDER FILE...\n");
    return 2;
  }
  const std::wstring folder = std::wstring(argv[1]) + L"\\";
  unsigned long long bytes = 0;
  const double start = Now();
  for (int i = 2; i < argc; ++i) {
    if (!CopyFileW(argv[i], (folder + NameOf(argv[i])).c_str(), FALSE)) {
      std::fprintf(stderr, "copy_files: file %d failed (%lu)\n", i - 1, GetLastError());
      return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(argv[i], GetFileExInfoStandard, &data)) {
      bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
  }
  const double seconds = Now() - start;
  std::printf("files=%d bytes=%llu seconds=%.4f mb_s=%.1f\n", argc - 2, bytes, seconds,
              seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0);
  return 0;
}
