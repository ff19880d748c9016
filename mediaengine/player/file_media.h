#pragma once
// A media item for a file that need not be in the library (the player's
// NewMedia): its attributes come from the file's own tags.
#include <map>
#include <mutex>
#include <string>

#include "engine/model/media.h"
#include "os/file_system.h"

namespace mediaengine {

class FileMedia : public wmp::IMedia {
 public:
  FileMedia(os::IFileSystem& files, std::wstring url);

  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult SourceUrl(std::wstring* url) override;
  wmp::HResult Duration(double* seconds) override;
  wmp::HResult DurationString(std::wstring* text) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  wmp::HResult IsIdentical(wmp::IMedia* other, bool* identical) override;

 private:
  std::wstring url_;
  double seconds_ = 0;
  mutable std::mutex mutex_;
  std::map<std::wstring, std::wstring> attributes_;
};

}  // namespace mediaengine
