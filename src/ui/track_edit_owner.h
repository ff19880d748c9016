#pragma once
// What the track list needs of its owner (the main window) when an in-place
// edit of a title or artist is accepted: a note that the change the engine
// is about to report comes from this edit, and the setters of the disc's
// track information.
#include <string>

namespace ui {

class ITrackEditOwner {
 public:
  virtual ~ITrackEditOwner() = default;
  // Called right before a setter below: the owner sets its selfEditPending
  // flag to 1 and editedRow to `row`, so that it ignores the change
  // notification the engine raises for this edit.
  virtual void NoteSelfEdit(int row) = 0;
  // Track numbers count from 1 (row + 1). True on success.
  virtual bool SetTrackTitle(int trackNumber, const std::wstring& title) = 0;
  virtual bool SetTrackArtist(int trackNumber, const std::wstring& artist) = 0;
};

}  // namespace ui
