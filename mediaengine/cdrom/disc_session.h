#pragma once
// One inserted disc as the engine shows it: its source (an image or the
// drive itself), the user's edits of
// album, titles and artists (kept for the rip), and each track's rip status.
// Shared by the drive, its playlist objects and the rip worker; every
// accessor is safe from any thread.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/model/attribute_names.h"
#include "mediaengine/disc/disc_source.h"

namespace mediaengine {

namespace attr = wmp::attr;

class DiscSession {
 public:
  explicit DiscSession(std::shared_ptr<const DiscSource> source);

  const DiscSource& Source() const { return *image_; }
  std::shared_ptr<const DiscSource> SourcePtr() const { return image_; }
  int TrackCount() const { return static_cast<int>(image_->Tracks().size()); }

  std::wstring Album() const;
  void SetAlbum(const std::wstring& album);

  // Attributes of the disc playlist: "TOC", "Album", "WM/AlbumArtist", …;
  // empty for unknown ones.
  std::wstring DiscAttribute(const std::wstring& name) const;
  bool SetDiscAttribute(const std::wstring& name, const std::wstring& value);

  // Attributes of track `number` (1-based): "Title", "Artist"/"Author",
  // "WM/AlbumArtist", "Album"/"WM/AlbumTitle", "WM/TrackNumber", "WM/Genre",
  // "TOC", "Status", "SourceURL", … Empty for unknown ones or a bad number.
  std::wstring TrackAttribute(int number, const std::wstring& name) const;
  bool SetTrackAttribute(int number, const std::wstring& name, const std::wstring& value);

  // Called (outside the lock) after a track's attributes changed, with the
  // track number; 0 for the disc (album) itself.
  void SetChangeHook(std::function<void(int)> hook);

 private:
  std::wstring TrackAttributeLocked(int number, const std::wstring& name) const;
  void Notify(int number) const;

  std::shared_ptr<const DiscSource> image_;
  mutable std::mutex mutex_;
  std::map<std::wstring, std::wstring> disc_;                  // edited disc attributes
  std::vector<std::map<std::wstring, std::wstring>> tracks_;  // edited track attributes
  std::function<void(int)> hook_;
};

}  // namespace mediaengine
