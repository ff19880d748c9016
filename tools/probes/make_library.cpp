// Fills a library as years of ripping would: DISCS albums of 12 and 13
// tracks in turn (800 discs make 10,000 items), each track an (empty) file
// in the rip tree "RIP_FOLDER\artist\album\NN title.wma", entered with the
// engine's own library code, as the rip enters it, in one batch. The tool's
// start and transfer are then measured against this library (tools/bench).
// Prints items=N and library_file=PATH; exits 0 only when every item and the
// library file were written.
//
// usage: make_library.exe LIBRARY_FOLDER RIP_FOLDER DISCS [64000|128000]
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "mediaengine/library/library_io.h"
#include "mediaengine/library/media_library.h"
#include "os/text_encoding.h"
#include "os/win32/win32_file_system.h"

namespace {

std::wstring Numbered(const wchar_t* format, long n) {
  wchar_t text[64];
  std::swprintf(text, sizeof text / sizeof text[0], format, n);
  return text;
}

// A table of contents no real disc shares with another of these: the start
// sectors of `tracks` tracks of about 3.5 minutes, shifted by the disc number.
std::wstring TocOf(long disc, int tracks) {
  std::wstring toc = Numbered(L"%lX", tracks);
  long sector = 150 + disc;
  for (int track = 0; track <= tracks; ++track, sector += 15750 + 75 * ((disc + track) % 40)) {
    toc += Numbered(L"+%lX", sector);
  }
  return toc;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_library.exe LIBRARY_FOLDER RIP_FOLDER DISCS [RATE]\n");
    return 2;
  }
  const std::wstring ripFolder = argv[2];
  const long discs = std::wcstol(argv[3], nullptr, 10);
  const auto rate = static_cast<std::uint32_t>(argc > 4 ? std::wcstoul(argv[4], nullptr, 10) : 64000);

  os::win32::Win32FileSystem files;
  mediaengine::MediaLibrary library(files, argv[1], [](const std::wstring&, mediaengine::AsfInfo*) {
    return false;
  });
  library.Load();
  long items = 0;
  {
    const auto batch = library.BeginBatch();
    for (long disc = 0; disc < discs; ++disc) {
      const int tracks = 12 + static_cast<int>(disc % 2);
      const std::wstring artist = Numbered(L"合奏団 %03ld", disc / 8);
      const std::wstring album = Numbered(L"作品集 第%04ld巻", disc);
      const std::wstring folder = ripFolder + L"\\" + artist + L"\\" + album;
      if (mediaengine::CreateFolderTree(files, folder) != os::kSuccess) {
        std::fprintf(stderr, "make_library: cannot create %s\n", os::Utf8FromWide(folder).c_str());
        return 1;
      }
      const std::wstring toc = TocOf(disc, tracks);
      for (int track = 1; track <= tracks; ++track) {
        mediaengine::RippedTrack ripped;
        ripped.title = Numbered(L"小品 %02ld", track);
        ripped.url = folder + L"\\" + Numbered(L"%02ld ", track) + ripped.title + L".wma";
        std::unique_ptr<os::IFileStream> file;
        if (files.Open(ripped.url, os::OpenMode::CreateAlways, &file) != os::kSuccess) {
          std::fprintf(stderr, "make_library: cannot create %s\n",
                       os::Utf8FromWide(ripped.url).c_str());
          return 1;
        }
        ripped.artist = artist;
        ripped.albumTitle = album;
        ripped.albumArtist = artist;
        ripped.genre = L"クラシック";
        ripped.trackNumber = track;
        ripped.toc = toc;
        ripped.durationSeconds = 180 + (disc * 7 + track * 13) % 120;
        ripped.bitrate = rate;
        ripped.extra = {{L"WM/Year", Numbered(L"%ld", 1990 + disc % 35)}};
        wmp::MediaPtr item;
        if (wmp::Failed(library.AddRipped(ripped, &item))) {
          std::fprintf(stderr, "make_library: item %ld not added\n", items + 1);
          return 1;
        }
        ++items;
      }
    }
  }
  if (wmp::Failed(library.Save())) {
    std::fprintf(stderr, "make_library: the library file was not written\n");
    return 1;
  }
  std::printf("items=%ld\nlibrary_file=%s\n", items,
              os::Utf8FromWide(library.LibraryFilePath()).c_str());
  return 0;
}
