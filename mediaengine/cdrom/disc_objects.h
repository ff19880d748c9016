#pragma once
// The engine objects of a disc: its playlist (named after the album, one item
// per track) and the track items. Fresh objects are handed out on every call;
// IsIdentical compares the disc and the track they stand for.
#include <memory>

#include "mediaengine/cdrom/disc_session.h"
#include "engine/model/media.h"

namespace mediaengine {

class DiscTrackMedia : public wmp::IMedia {
 public:
  DiscTrackMedia(std::shared_ptr<DiscSession> session, int number)
      : session_(std::move(session)), number_(number) {}

  int Number() const { return number_; }
  const DiscSession* Session() const { return session_.get(); }

  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult SourceUrl(std::wstring* url) override;
  wmp::HResult Duration(double* seconds) override;
  wmp::HResult DurationString(std::wstring* text) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  wmp::HResult IsIdentical(wmp::IMedia* other, bool* identical) override;

 private:
  std::shared_ptr<DiscSession> session_;
  int number_;
};

class DiscPlaylist : public wmp::IPlaylist {
 public:
  explicit DiscPlaylist(std::shared_ptr<DiscSession> session) : session_(std::move(session)) {}

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::MediaPtr* item) override;
  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  // A disc cannot be rearranged.
  wmp::HResult AppendItem(wmp::IMedia* item) override;
  wmp::HResult RemoveItem(wmp::IMedia* item) override;
  wmp::HResult MoveItem(long oldIndex, long newIndex) override;
  wmp::HResult IsIdentical(wmp::IPlaylist* other, bool* identical) override;

 private:
  std::shared_ptr<DiscSession> session_;
};

// What a drive without a usable disc shows: "ドライブにディスクがありません", no items.
class EmptyDrivePlaylist : public wmp::IPlaylist {
 public:
  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::MediaPtr* item) override;
  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  wmp::HResult AppendItem(wmp::IMedia* item) override;
  wmp::HResult RemoveItem(wmp::IMedia* item) override;
  wmp::HResult MoveItem(long oldIndex, long newIndex) override;
  wmp::HResult IsIdentical(wmp::IPlaylist* other, bool* identical) override;
};

}  // namespace mediaengine
