#pragma once
// What the engine reads back from a .wma (ASF) file: its tags, length and
// declared bit rate. Used by the library when a file is added and by the
// checks that compare a copied file with its source.
#include <cstdint>
#include <string>

#include "os/device_names.h"
#include "os/file_system.h"

namespace mediaengine {

struct AsfTags {
  std::wstring title;        // Content Description "Title"
  std::wstring author;       // Content Description "Author" (the track artist)
  std::wstring albumTitle;   // WM/AlbumTitle
  std::wstring albumArtist;  // WM/AlbumArtist
  std::wstring genre;        // WM/Genre
  std::wstring year;         // WM/Year
  std::wstring trackNumber;  // WM/TrackNumber, 1-based decimal text
};

struct AsfInfo {
  AsfTags tags;
  double durationSeconds = 0.0;  // play duration without preroll
  std::uint32_t bitrate = 0;     // declared, bits per second
  std::uint64_t fileSize = 0;
};

// False when the file cannot be read or is not a well-formed ASF file.
bool ReadAsfInfo(os::IFileSystem& files, const std::wstring& path, AsfInfo* info);

// What tells the track of a file from another (os::IsSameTrack): its tags
// and length when it is a readable .wma file, nothing otherwise.
os::TrackFacts TrackFactsOfFile(os::IFileSystem& files, const std::wstring& path);

}  // namespace mediaengine
