// The native contract subject: the in-memory file system.
#include "contract/subjects.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"

namespace contract {

FileSystemSubject MakeFileSystem() {
  auto clock = std::make_unique<fakes::FakeClock>();
  auto files = std::make_unique<fakes::FakeFileSystem>();
  files->AddDrive(L'C');
  files->AddDrive(L'F', 64ULL << 20, 2048);
  files->SetNow(os::FileTimeOfSecondsSince1970(clock->SecondsSince1970()));
  files->AddFolder(L"C:\\scratch");
  FileSystemSubject subject;
  fakes::FakeFileSystem* fake = files.get();
  subject.setAttributes = [fake](const std::wstring& path, std::uint32_t attributes) {
    fake->SetAttributes(path, attributes);
  };
  subject.files = std::move(files);
  subject.clock = std::move(clock);
  subject.scratch = L"C:\\scratch";
  subject.removableRoot = L"F:\\";
  return subject;
}

}  // namespace contract
