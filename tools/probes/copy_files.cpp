// The yardstick for the engine's synchronisation under Wine: copies the given
// files into a folder with the platform's own CopyFileW, one after another,
// without flushing or reading back, and prints the throughput. What the
// engine does beyond that (temporary name, flush, read-back compare, rename)
// is the price of copies that lose nothing.
//
// usage: copy_files.exe TARGET_FOLDER FILE...
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: copy_files.exe TARGET_FOLDER FILE...\n");
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
