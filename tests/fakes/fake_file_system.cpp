#include "fakes/fake_file_system.h"

#include <algorithm>

#include "os/text_encoding.h"

namespace fakes {
namespace {

using os::ErrorCode;

wchar_t UpperLetter(wchar_t c) { return os::AsciiUpper(std::wstring(1, c))[0]; }

struct ParsedPath {
  wchar_t letter = 0;
  std::vector<std::wstring> parts;
};

bool Parse(const std::wstring& path, ParsedPath* parsed) {
  if (path.size() < 2 || path[1] != L':') return false;
  parsed->letter = UpperLetter(path[0]);
  std::wstring part;
  for (std::size_t i = 2; i <= path.size(); ++i) {
    const bool end = i == path.size();
    if (end || path[i] == L'\\' || path[i] == L'/') {
      if (!part.empty()) parsed->parts.push_back(part);
      part.clear();
    } else {
      part.push_back(path[i]);
    }
  }
  return true;
}

// Windows wildcard match, case-insensitive; "*.*" matches every name.
bool Matches(const std::wstring& pattern, const std::wstring& name) {
  if (pattern == L"*.*" || pattern == L"*") return true;
  const std::wstring p = os::AsciiUpper(pattern), n = os::AsciiUpper(name);
  std::size_t pi = 0, ni = 0, star = std::wstring::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == L'?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == L'*') {
      star = pi++;
      mark = ni;
    } else if (star != std::wstring::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == L'*') ++pi;
  return pi == p.size();
}

os::FindEntry EntryOf(const std::wstring& name, const FakeFileSystem::Node& node) {
  os::FindEntry entry;
  entry.name = name;
  entry.attributes = node.attributes;
  entry.size = node.folder ? 0 : node.content->size();
  entry.creationTime = node.creationTime;
  entry.lastWriteTime = node.lastWriteTime;
  return entry;
}

class FakeStream : public os::IFileStream {
 public:
  // A file stays open on its drive letter: once the drive is removed or
  // loses its medium, the handle answers as one of a pulled device does.
  FakeStream(std::shared_ptr<std::string> content, FakeFileSystem* fs, wchar_t letter,
             bool writable)
      : content_(std::move(content)), fs_(fs), letter_(letter), writable_(writable) {}

  ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
    const std::lock_guard<std::recursive_mutex> hold(fs_->Mutex());
    *done = 0;
    if (!fs_->ReadyDrive(letter_)) return os::kErrorNotReady;
    const std::size_t available = position_ < content_->size() ? content_->size() - position_ : 0;
    const std::size_t count = std::min<std::size_t>(size, available);
    std::copy_n(content_->data() + position_, count, static_cast<char*>(buffer));
    position_ += count;
    *done = static_cast<std::uint32_t>(count);
    return os::kSuccess;
  }

  ErrorCode Write(const void* buffer, std::uint32_t size) override {
    const std::lock_guard<std::recursive_mutex> hold(fs_->Mutex());
    if (!writable_) return os::kErrorAccessDenied;
    FakeFileSystem::Drive* drive = fs_->ReadyDrive(letter_);
    if (!drive) return os::kErrorNotReady;
    const std::size_t end = position_ + size;
    const std::uint64_t growth = end > content_->size() ? end - content_->size() : 0;
    if (fs_->UsedBytes(*drive) + growth > drive->capacity) return os::kErrorDiskFull;
    if (end > content_->size()) content_->resize(end);
    std::copy_n(static_cast<const char*>(buffer), size, content_->begin() + position_);
    position_ = end;
    return os::kSuccess;
  }

  ErrorCode Seek(std::uint64_t offset) override {
    position_ = static_cast<std::size_t>(offset);
    return os::kSuccess;
  }
  std::uint64_t Size() const override {
    const std::lock_guard<std::recursive_mutex> hold(fs_->Mutex());
    return content_->size();
  }
  ErrorCode Flush() override {
    const std::lock_guard<std::recursive_mutex> hold(fs_->Mutex());
    return fs_->ReadyDrive(letter_) ? os::kSuccess : os::kErrorNotReady;
  }

 private:
  std::shared_ptr<std::string> content_;
  FakeFileSystem* fs_;
  wchar_t letter_;
  bool writable_;
  std::size_t position_ = 0;
};

std::uint64_t DataOf(const FakeFileSystem::Node& node) {
  std::uint64_t total = node.folder ? 0 : node.content->size();
  for (const auto& child : node.children) total += DataOf(child.second);
  return total;
}

}  // namespace

void FakeFileSystem::AddDrive(wchar_t letter, std::uint64_t capacityBytes,
                              std::uint32_t bytesPerCluster) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  Drive& drive = drives_[UpperLetter(letter)];
  drive.root.folder = true;
  drive.root.attributes = os::kAttributeDirectory;
  drive.capacity = capacityBytes;
  drive.bytesPerCluster = bytesPerCluster;
}

void FakeFileSystem::SetDriveReady(wchar_t letter, bool ready) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  drives_[UpperLetter(letter)].ready = ready;
}

void FakeFileSystem::RemoveDrive(wchar_t letter) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  drives_.erase(UpperLetter(letter));
}

void FakeFileSystem::SetClusters(wchar_t letter, const os::DiskClusters& clusters) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  Drive& drive = drives_[UpperLetter(letter)];
  drive.clustersOverridden = true;
  drive.clusters = clusters;
}

std::uint64_t FakeFileSystem::UsedBytes(const Drive& drive) const { return DataOf(drive.root); }

FakeFileSystem::Drive* FakeFileSystem::ReadyDrive(wchar_t letter) {
  auto it = drives_.find(UpperLetter(letter));
  return it != drives_.end() && it->second.ready ? &it->second : nullptr;
}

FakeFileSystem::Drive* FakeFileSystem::DriveOf(const std::wstring& path, ErrorCode* error) {
  ParsedPath parsed;
  if (!Parse(path, &parsed)) {
    *error = os::kErrorInvalidName;
    return nullptr;
  }
  auto it = drives_.find(parsed.letter);
  if (it == drives_.end()) {
    *error = os::kErrorPathNotFound;
    return nullptr;
  }
  if (!it->second.ready) {
    *error = os::kErrorNotReady;
    return nullptr;
  }
  return &it->second;
}

FakeFileSystem::Node* FakeFileSystem::Find(const std::wstring& path, ErrorCode* error) {
  Drive* drive = DriveOf(path, error);
  if (!drive) return nullptr;
  ParsedPath parsed;
  Parse(path, &parsed);
  Node* node = &drive->root;
  for (std::size_t i = 0; i < parsed.parts.size(); ++i) {
    auto it = node->folder ? node->children.find(os::AsciiUpper(parsed.parts[i]))
                           : node->children.end();
    if (it == node->children.end()) {
      *error = i + 1 == parsed.parts.size() ? os::kErrorFileNotFound : os::kErrorPathNotFound;
      return nullptr;
    }
    node = &it->second;
  }
  return node;
}

FakeFileSystem::Node* FakeFileSystem::ParentOf(const std::wstring& path, std::wstring* leaf,
                                               ErrorCode* error) {
  ParsedPath parsed;
  if (!Parse(path, &parsed)) {
    *error = os::kErrorInvalidName;
    return nullptr;
  }
  if (parsed.parts.empty()) {
    *error = os::kErrorAccessDenied;  // a drive root cannot be created or removed
    return nullptr;
  }
  *leaf = parsed.parts.back();
  std::wstring parent = std::wstring{parsed.letter, L':', L'\\'};
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) parent += parsed.parts[i] + L"\\";
  Node* node = Find(parent, error);
  if (!node) {
    if (*error == os::kErrorFileNotFound) *error = os::kErrorPathNotFound;
    return nullptr;
  }
  if (!node->folder) {
    *error = os::kErrorPathNotFound;
    return nullptr;
  }
  return node;
}

void FakeFileSystem::AddFolder(const std::wstring& path) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ParsedPath parsed;
  if (!Parse(path, &parsed)) return;
  Node* node = &drives_[parsed.letter].root;
  node->folder = true;
  node->attributes = os::kAttributeDirectory;
  for (const std::wstring& part : parsed.parts) {
    Node& child = node->children[os::AsciiUpper(part)];
    if (child.name.empty()) {
      child.name = part;
      child.folder = true;
      child.attributes = os::kAttributeDirectory;
      child.creationTime = child.lastWriteTime = now_;
    }
    node = &child;
  }
}

void FakeFileSystem::AddFile(const std::wstring& path, const std::string& content,
                             std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ParsedPath parsed;
  if (!Parse(path, &parsed) || parsed.parts.empty()) return;
  std::wstring folder = std::wstring{parsed.letter, L':', L'\\'};
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) folder += parsed.parts[i] + L"\\";
  AddFolder(folder);
  ErrorCode error = os::kSuccess;
  Node* parent = Find(folder, &error);
  Node& file = parent->children[os::AsciiUpper(parsed.parts.back())];
  file.name = parsed.parts.back();
  file.folder = false;
  file.attributes = attributes;
  file.content = std::make_shared<std::string>(content);
  file.creationTime = file.lastWriteTime = now_;
}

void FakeFileSystem::SetCreationTime(const std::wstring& path, os::FileTime time) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  if (Node* node = Find(path, &error)) node->creationTime = time;
}

void FakeFileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  Node* node = Find(path, &error);
  if (!node) return;
  node->attributes = (attributes & ~os::kAttributeDirectory) |
                     (node->folder ? os::kAttributeDirectory : 0);
}

std::string FakeFileSystem::Content(const std::wstring& path) const {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  Node* node = const_cast<FakeFileSystem*>(this)->Find(path, &error);
  return node && !node->folder ? *node->content : std::string();
}

ErrorCode FakeFileSystem::FindFiles(const std::wstring& pattern,
                                    std::vector<os::FindEntry>* entries) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  entries->clear();
  const auto slash = pattern.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return os::kErrorInvalidName;
  const std::wstring folder = pattern.substr(0, slash + 1);
  const std::wstring mask = pattern.substr(slash + 1);
  ErrorCode error = os::kSuccess;
  Node* node = Find(folder, &error);
  if (!node) return error == os::kErrorFileNotFound ? os::kErrorPathNotFound : error;
  if (!node->folder) return os::kErrorPathNotFound;

  ParsedPath parsed;
  Parse(folder, &parsed);
  if (!parsed.parts.empty()) {
    for (const wchar_t* dot : {L".", L".."}) {
      if (Matches(mask, dot)) entries->push_back(EntryOf(dot, *node));
    }
  }
  // std::map keeps the upper-cased keys sorted, which is the NTFS order.
  for (const auto& [key, child] : node->children) {
    if (Matches(mask, child.name)) entries->push_back(EntryOf(child.name, child));
  }
  return entries->empty() ? os::kErrorFileNotFound : os::kSuccess;
}

std::uint32_t FakeFileSystem::GetAttributes(const std::wstring& path) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  Node* node = Find(path, &error);
  return node ? node->attributes : os::kInvalidAttributes;
}

ErrorCode FakeFileSystem::CreateFolder(const std::wstring& path) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  std::wstring leaf;
  ErrorCode error = os::kSuccess;
  Node* parent = ParentOf(path, &leaf, &error);
  if (!parent) return error;
  if (parent->children.count(os::AsciiUpper(leaf))) return os::kErrorAlreadyExists;
  Node& folder = parent->children[os::AsciiUpper(leaf)];
  folder.name = leaf;
  folder.folder = true;
  folder.attributes = os::kAttributeDirectory;
  folder.creationTime = folder.lastWriteTime = now_;
  return os::kSuccess;
}

ErrorCode FakeFileSystem::RemoveFolder(const std::wstring& path) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  std::wstring leaf;
  ErrorCode error = os::kSuccess;
  Node* parent = ParentOf(path, &leaf, &error);
  if (!parent) return error;
  auto it = parent->children.find(os::AsciiUpper(leaf));
  if (it == parent->children.end()) return os::kErrorFileNotFound;
  if (!it->second.folder) return 267;  // ERROR_DIRECTORY: not a folder
  if (!it->second.children.empty()) return os::kErrorDirNotEmpty;
  parent->children.erase(it);
  return os::kSuccess;
}

ErrorCode FakeFileSystem::Move(const std::wstring& from, const std::wstring& to,
                                   bool replace) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  std::wstring fromLeaf, toLeaf;
  ErrorCode error = os::kSuccess;
  Node* fromParent = ParentOf(from, &fromLeaf, &error);
  if (!fromParent) return error;
  auto source = fromParent->children.find(os::AsciiUpper(fromLeaf));
  if (source == fromParent->children.end()) return os::kErrorFileNotFound;
  Node* toParent = ParentOf(to, &toLeaf, &error);
  if (!toParent) return error;
  auto target = toParent->children.find(os::AsciiUpper(toLeaf));
  if (target != toParent->children.end()) {
    if (target == source) {  // a rename that only changes the case
      target->second.name = toLeaf;
      return os::kSuccess;
    }
    if (!replace) return os::kErrorAlreadyExists;
    if (target->second.folder || source->second.folder ||
        (target->second.attributes & os::kAttributeReadOnly)) {
      return os::kErrorAccessDenied;
    }
  }
  Node moved = std::move(source->second);
  fromParent->children.erase(source);
  moved.name = toLeaf;
  toParent->children[os::AsciiUpper(toLeaf)] = std::move(moved);
  return os::kSuccess;
}

ErrorCode FakeFileSystem::Delete(const std::wstring& path) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  std::wstring leaf;
  ErrorCode error = os::kSuccess;
  Node* parent = ParentOf(path, &leaf, &error);
  if (!parent) return error;
  auto it = parent->children.find(os::AsciiUpper(leaf));
  if (it == parent->children.end()) return os::kErrorFileNotFound;
  if (it->second.folder || (it->second.attributes & os::kAttributeReadOnly)) {
    return os::kErrorAccessDenied;
  }
  parent->children.erase(it);
  return os::kSuccess;
}

ErrorCode FakeFileSystem::GetFreeClusters(const std::wstring& root, os::DiskClusters* clusters) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  Drive* drive = DriveOf(root, &error);
  if (!drive) return error;
  if (drive->clustersOverridden) {
    *clusters = drive->clusters;
    return os::kSuccess;
  }
  const std::uint64_t used = UsedBytes(*drive);
  clusters->bytesPerSector = 512;
  clusters->sectorsPerCluster = drive->bytesPerCluster / 512;
  clusters->totalClusters = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(drive->capacity / drive->bytesPerCluster, 0xFFFFFFFFu));
  clusters->freeClusters = static_cast<std::uint32_t>(std::min<std::uint64_t>(
      (drive->capacity - std::min(used, drive->capacity)) / drive->bytesPerCluster,
      0xFFFFFFFFu));
  return os::kSuccess;
}

ErrorCode FakeFileSystem::GetFreeBytes(const std::wstring& root, os::DiskBytes* bytes) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  Drive* drive = DriveOf(root, &error);
  if (!drive) return error;
  const std::uint64_t used = UsedBytes(*drive);
  bytes->total = drive->capacity;
  bytes->totalFree = drive->capacity - std::min(used, drive->capacity);
  bytes->freeToCaller = bytes->totalFree;
  return os::kSuccess;
}

ErrorCode FakeFileSystem::Open(const std::wstring& path, os::OpenMode mode,
                               std::unique_ptr<os::IFileStream>* stream) {
  const std::lock_guard<std::recursive_mutex> hold(mutex_.mutex);
  ErrorCode error = os::kSuccess;
  if (!DriveOf(path, &error)) return error;
  const wchar_t letter = UpperLetter(path[0]);
  // The fake has no cache: an uncached read is a plain one.
  if (mode == os::OpenMode::Read || mode == os::OpenMode::ReadUncached) {
    Node* node = Find(path, &error);
    if (!node) return error;
    if (node->folder) return os::kErrorAccessDenied;
    *stream = std::make_unique<FakeStream>(node->content, this, letter, false);
    return os::kSuccess;
  }
  std::wstring leaf;
  Node* parent = ParentOf(path, &leaf, &error);
  if (!parent) return error;
  Node& file = parent->children[os::AsciiUpper(leaf)];
  if (file.folder || (file.attributes & os::kAttributeReadOnly)) return os::kErrorAccessDenied;
  if (file.name.empty()) {
    file.name = leaf;
    file.creationTime = now_;
  }
  file.attributes = os::kAttributeArchive;
  file.lastWriteTime = now_;
  file.content = std::make_shared<std::string>();
  *stream = std::make_unique<FakeStream>(file.content, this, letter, true);
  return os::kSuccess;
}

}  // namespace fakes
