// The native tree checks the drives contract against the fake, laid out as
// the Wine test prefix is.
#include <memory>
#include <utility>

#include "contract/subjects.h"
#include "fakes/fake_drives.h"

namespace contract {

DrivesSubject MakeDrives() {
  auto drives = std::make_unique<fakes::FakeDrives>();
  drives->AddDrive(L'C', os::DriveType::Fixed);
  drives->AddDrive(L'D', os::DriveType::CdRom, L"MUSIC");
  drives->AddDrive(L'F', os::DriveType::Removable);
  drives->AddDrive(L'Z', os::DriveType::Fixed);
  DrivesSubject subject;
  subject.drives = std::move(drives);
  subject.cdLetter = L'D';
  subject.removableLetter = L'F';
  return subject;
}

}  // namespace contract
