#include "mediaengine/disc/disc_image.h"

#include <algorithm>
#include <cstddef>

#include "engine/model/placeholders.h"
#include "mediaengine/disc/cd_audio.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {

namespace {

// A real sheet is a few kilobytes; anything this large is not one.
constexpr std::uint64_t kMaxCueBytes = 1 << 20;
// Largest single request to a stream (its Read takes 32-bit sizes).
constexpr std::uint64_t kMaxStreamRead = 1 << 24;

std::nullptr_t Refuse(DiscProblem* problem, DiscStatus status, const std::wstring& path,
                      os::ErrorCode error, const std::wstring& reason, int line = 0) {
  return RefuseDisc(problem, status, path, error, reason, line);
}

std::wstring Number(std::uint64_t value) { return std::to_wstring(value); }

}  // namespace

DiscImage::DiscImage(Key, os::IFileSystem& files, std::wstring root)
    : files_(&files) {
  root_ = std::move(root);
}

std::shared_ptr<const DiscImage> DiscImage::Open(os::IFileSystem& files, const std::wstring& root,
                                                 DiscProblem* problem) {
  *problem = DiscProblem();
  auto disc = std::make_shared<DiscImage>(Key(), files, root);
  disc->root_ = os::WithTrailingBackslash(disc->root_);

  std::vector<os::FindEntry> entries;
  const os::ErrorCode listed = files.FindFiles(disc->root_ + L"*.cue", &entries);
  if (listed != os::kSuccess && listed != os::kErrorFileNotFound) {
    return Refuse(problem, DiscStatus::NoMedium, disc->root_, listed, L"the drive cannot be read");
  }
  // The pattern also matches through short names (x.cuex is X~1.CUE), so
  // the extension is checked again.
  const auto cue = std::find_if(entries.begin(), entries.end(), [](const os::FindEntry& entry) {
    return !entry.IsFolder() && os::EndsWithNoCase(entry.name, L".cue");
  });
  if (cue == entries.end()) {
    return Refuse(problem, DiscStatus::NoCueSheet, disc->root_, listed,
                  L"no cue sheet in the root");
  }
  disc->cuePath_ = disc->root_ + cue->name;

  std::unique_ptr<os::IFileStream> stream;
  os::ErrorCode error = files.Open(disc->cuePath_, os::OpenMode::Read, &stream);
  if (error != os::kSuccess) {
    return Refuse(problem, DiscStatus::BadCueSheet, disc->cuePath_, error,
                  L"the cue sheet cannot be opened");
  }
  if (stream->Size() > kMaxCueBytes) {
    return Refuse(problem, DiscStatus::BadCueSheet, disc->cuePath_, os::kSuccess,
                  L"the file is too large to be a cue sheet");
  }
  std::string text(static_cast<std::size_t>(stream->Size()), '\0');
  std::uint32_t done = 0;
  error = stream->Read(text.data(), static_cast<std::uint32_t>(text.size()), &done);
  if (error != os::kSuccess || done != text.size()) {
    return Refuse(problem, DiscStatus::ReadError, disc->cuePath_, error,
                  L"the cue sheet cannot be read");
  }
  CueError cueError;
  if (!ParseCueSheet(text, &disc->sheet_, &cueError)) {
    return Refuse(problem, DiscStatus::BadCueSheet, disc->cuePath_, os::kSuccess, cueError.reason,
                  cueError.line);
  }

  disc->imagePath_ = disc->root_ + disc->sheet_.fileName;
  std::unique_ptr<os::IFileStream> image;
  error = files.Open(disc->imagePath_, os::OpenMode::Read, &image);
  if (error != os::kSuccess) {
    return Refuse(problem, DiscStatus::MissingImage, disc->imagePath_, error,
                  L"the image named by the cue sheet cannot be opened");
  }
  if (!LayOutDisc(disc->sheet_, image->Size(), &disc->layout_, &cueError)) {
    return Refuse(problem, DiscStatus::DamagedImage, disc->imagePath_, os::kSuccess,
                  cueError.reason, cueError.line);
  }

  disc->title_ = disc->sheet_.title;
  disc->performer_ = disc->sheet_.performer;
  disc->genre_ = disc->sheet_.genre;
  disc->date_ = disc->sheet_.date;
  std::vector<std::uint32_t> starts, lengths;
  std::vector<std::wstring> titles, performers;
  for (std::size_t i = 0; i < disc->layout_.tracks.size(); ++i) {
    starts.push_back(disc->layout_.tracks[i].startLba);
    lengths.push_back(disc->layout_.tracks[i].lengthSectors);
    titles.push_back(disc->sheet_.tracks[i].title);
    performers.push_back(disc->sheet_.tracks[i].performer);
  }
  disc->SetTracks(starts, lengths, titles, performers);
  return disc;
}

CdaTrack DiscImage::Cda(int number) const {
  CdaTrack cda;
  const DiscTrack* track = Track(number);
  if (!track) return cda;
  cda.trackNumber = static_cast<std::uint16_t>(number);
  cda.serial = Serial();
  cda.startLba = track->startLba;
  cda.lengthSectors = track->lengthSectors;
  return cda;
}

std::unique_ptr<TrackReader> DiscImage::OpenTrack(int number, DiscProblem* problem) const {
  *problem = DiscProblem();
  if (!Track(number)) {
    return Refuse(problem, DiscStatus::ReadError, imagePath_, os::kErrorInvalidParameter,
                  L"the disc has no track " + std::to_wstring(number));
  }
  std::unique_ptr<os::IFileStream> image;
  const os::ErrorCode error = files_->Open(imagePath_, os::OpenMode::Read, &image);
  if (error != os::kSuccess) {
    return Refuse(problem, DiscStatus::MissingImage, imagePath_, error,
                  L"the image cannot be opened");
  }
  if (image->Size() != layout_.imageBytes) {
    return Refuse(problem, DiscStatus::DamagedImage, imagePath_, os::kSuccess,
                  L"the image changed since the disc was read");
  }
  return std::make_unique<ImageTrackReader>(std::move(image), imagePath_, number, layout_);
}

ImageTrackReader::ImageTrackReader(std::unique_ptr<os::IFileStream> image,
                                   std::wstring imagePath, int trackNumber,
                                   const DiscLayout& layout)
    : TrackReader(layout.tracks.at(static_cast<std::size_t>(trackNumber) - 1).lengthSectors *
                  kFramesPerSector),
      image_(std::move(image)),
      imagePath_(std::move(imagePath)),
      trackNumber_(trackNumber) {
  const TrackExtent& track = layout.tracks.at(static_cast<std::size_t>(trackNumber) - 1);
  const std::uint64_t end = static_cast<std::uint64_t>(track.startLba) + track.lengthSectors;
  for (const DiscSegment& segment : layout.segments) {
    if (segment.discStart < end && segment.discStart + segment.sectors > track.startLba) {
      segments_.push_back(segment);
    }
  }
  firstByte_ = static_cast<std::uint64_t>(track.startLba) * kSectorBytes;
}

bool ImageTrackReader::Fail(os::ErrorCode error, const std::wstring& reason) {
  return TrackReader::Fail(DiscStatus::ReadError, error, imagePath_, reason);
}

bool ImageTrackReader::Read(std::uint32_t maxFrames, std::vector<std::uint8_t>* chunk) {
  if (problem_.status != DiscStatus::Ok) {
    chunk->clear();
    return false;
  }
  const std::uint32_t frames = std::min(maxFrames, totalFrames_ - framesRead_);
  // Every byte is written below: a chunk of the size before is not zeroed again.
  chunk->resize(static_cast<std::size_t>(frames) * kFrameBytes);
  std::uint64_t discByte = firstByte_ + static_cast<std::uint64_t>(framesRead_) * kFrameBytes;
  std::size_t filled = 0;
  while (filled < chunk->size()) {
    const std::uint64_t sector = discByte / kSectorBytes;
    const auto segment =
        std::find_if(segments_.begin(), segments_.end(), [&](const DiscSegment& s) {
          return s.discStart <= sector &&
                 sector < static_cast<std::uint64_t>(s.discStart) + s.sectors;
        });
    if (segment == segments_.end()) {
      chunk->clear();
      return Fail(os::kSuccess, L"track " + Number(trackNumber_) + L" lies outside the disc");
    }
    const std::uint64_t segmentEnd =
        (static_cast<std::uint64_t>(segment->discStart) + segment->sectors) * kSectorBytes;
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>({chunk->size() - filled, segmentEnd - discByte, kMaxStreamRead}));
    std::uint8_t* out = chunk->data() + filled;
    if (segment->silence) {
      std::fill(out, out + count, std::uint8_t{0});
    } else {
      const std::uint64_t fileByte =
          static_cast<std::uint64_t>(segment->fileStart) * kSectorBytes +
          (discByte - static_cast<std::uint64_t>(segment->discStart) * kSectorBytes);
      std::uint32_t done = 0;
      os::ErrorCode error = image_->Seek(fileByte);
      if (error == os::kSuccess) {
        error = image_->Read(out, static_cast<std::uint32_t>(count), &done);
      }
      if (error != os::kSuccess || done != count) {
        chunk->clear();
        const std::wstring where = L"track " + Number(trackNumber_) + L" at image byte " +
                                   Number(fileByte + (error == os::kSuccess ? done : 0));
        return Fail(error, error != os::kSuccess ? L"reading " + where + L" failed"
                                                 : L"the image ends early, in " + where);
      }
    }
    filled += count;
    discByte += count;
  }
  framesRead_ += frames;
  return true;
}

}  // namespace mediaengine
