#pragma once
// What the album name dialog reads and renames: the name of the engine's
// playlist of the inserted disc. The main window implements it over its CD
// drive access object.
#include <string>

namespace ui {

class IAlbumNameModel {
 public:
  virtual ~IAlbumNameModel() = default;
  virtual std::wstring GetAlbumName() const = 0;
  // True on success; the dialog does not look at the result, the main
  // window shows the name again from the engine afterwards.
  virtual bool SetAlbumName(const std::wstring& name) = 0;
};

}  // namespace ui
