#include "os/win32/win32_cdrom.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddcdrm.h>
#include <ntddscsi.h>

#include <cstddef>
#include <cstring>

#include "os/win32/unique_handle.h"

namespace os::win32 {
namespace {

constexpr DWORD kSectorBytes = 2352;
// LBA to the byte offset RAW_READ takes: the drive counts 2048-byte sectors.
constexpr LONGLONG kCookedSectorBytes = 2048;
// The most CD-TEXT a disc holds: 8 blocks of 256 packs of 18 bytes.
constexpr DWORD kMaxCdTextBytes = 4 + 8 * 256 * 18;
constexpr UCHAR kReadTocCommand = 0x43;
constexpr UCHAR kCdTextFormat = 0x05;
constexpr ULONG kPassThroughSeconds = 10;

ErrorCode LastError() { return static_cast<ErrorCode>(GetLastError()); }

FileHandle OpenDrive(wchar_t letter, DWORD access) {
  const wchar_t path[] = {L'\\', L'\\', L'.', L'\\', letter, L':', 0};
  return FileHandle(CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
}

struct PassThrough {
  SCSI_PASS_THROUGH_DIRECT request;
  ULONG align;
  UCHAR sense[32];
};

class Win32CdromDevice : public ICdromDevice {
 public:
  Win32CdromDevice(FileHandle handle, wchar_t letter)
      : handle_(std::move(handle)), letter_(letter) {}

  ErrorCode ReadToc(std::vector<std::uint8_t>* toc) override {
    CDROM_TOC table = {};
    DWORD returned = 0;
    if (!DeviceIoControl(handle_.Get(), IOCTL_CDROM_READ_TOC, nullptr, 0, &table, sizeof table,
                         &returned, nullptr)) {
      return LastError();
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&table);
    toc->assign(bytes, bytes + returned);
    return kSuccess;
  }

  ErrorCode ReadCdText(std::vector<std::uint8_t>* data) override {
    // Windows answers READ_TOC_EX; Wine does not implement it, but passes
    // the same command through to the drive.
    const ErrorCode error = ReadCdTextEx(data);
    if (error == kSuccess) return kSuccess;
    ErrorCode passed = PassThroughCdText(handle_.Get(), data);
    if (passed == kErrorAccessDenied) {
      // The pass-through code asks for write access to the drive.
      FileHandle writable = OpenDrive(letter_, GENERIC_READ | GENERIC_WRITE);
      if (writable.IsValid()) passed = PassThroughCdText(writable.Get(), data);
    }
    return passed;
  }

  ErrorCode ReadAudio(std::uint32_t lba, std::uint32_t sectors, std::uint8_t* out) override {
    if (sectors == 0 || sectors > kMaxAudioSectorsPerRead) return kErrorInvalidParameter;
    RAW_READ_INFO info = {};
    info.DiskOffset.QuadPart = static_cast<LONGLONG>(lba) * kCookedSectorBytes;
    info.SectorCount = sectors;
    info.TrackMode = CDDA;
    DWORD returned = 0;
    const DWORD size = sectors * kSectorBytes;
    if (!DeviceIoControl(handle_.Get(), IOCTL_CDROM_RAW_READ, &info, sizeof info, out, size,
                         &returned, nullptr)) {
      return LastError();
    }
    return returned == size ? kSuccess : kErrorCrc;
  }

  ErrorCode CheckMedium() override { return Request(IOCTL_STORAGE_CHECK_VERIFY); }
  ErrorCode Eject() override { return Request(IOCTL_STORAGE_EJECT_MEDIA); }

 private:
  // A control code without input or output data.
  ErrorCode Request(DWORD code) {
    DWORD returned = 0;
    return DeviceIoControl(handle_.Get(), code, nullptr, 0, nullptr, 0, &returned, nullptr)
               ? kSuccess
               : LastError();
  }

  ErrorCode ReadCdTextEx(std::vector<std::uint8_t>* data) {
    CDROM_READ_TOC_EX request = {};
    request.Format = CDROM_READ_TOC_EX_FORMAT_CDTEXT;
    data->assign(kMaxCdTextBytes, 0);
    DWORD returned = 0;
    if (!DeviceIoControl(handle_.Get(), IOCTL_CDROM_READ_TOC_EX, &request, sizeof request,
                         data->data(), static_cast<DWORD>(data->size()), &returned, nullptr)) {
      data->clear();
      return LastError();
    }
    data->resize(returned);
    return kSuccess;
  }

  static ErrorCode PassThroughCdText(HANDLE handle, std::vector<std::uint8_t>* data) {
    data->assign(kMaxCdTextBytes, 0);
    PassThrough pass = {};
    pass.request.Length = sizeof pass.request;
    pass.request.CdbLength = 10;
    pass.request.SenseInfoLength = sizeof pass.sense;
    pass.request.DataIn = SCSI_IOCTL_DATA_IN;
    pass.request.DataTransferLength = static_cast<ULONG>(data->size());
    pass.request.TimeOutValue = kPassThroughSeconds;
    pass.request.DataBuffer = data->data();
    pass.request.SenseInfoOffset = offsetof(PassThrough, sense);
    pass.request.Cdb[0] = kReadTocCommand;
    pass.request.Cdb[2] = kCdTextFormat;
    pass.request.Cdb[7] = static_cast<UCHAR>(data->size() >> 8);
    pass.request.Cdb[8] = static_cast<UCHAR>(data->size() & 0xFF);
    DWORD returned = 0;
    if (!DeviceIoControl(handle, IOCTL_SCSI_PASS_THROUGH_DIRECT, &pass, sizeof pass, &pass,
                         sizeof pass, &returned, nullptr)) {
      data->clear();
      return LastError();
    }
    if (pass.request.ScsiStatus != 0) {
      data->clear();
      return kErrorNotSupported;
    }
    // What the drive filled: the length it gives, within the transfer.
    const std::size_t length = (static_cast<std::size_t>((*data)[0]) << 8 | (*data)[1]) + 2;
    data->resize(length < data->size() ? length : data->size());
    return kSuccess;
  }

  FileHandle handle_;
  wchar_t letter_;
};

}  // namespace

ErrorCode Win32CdromDevices::Open(wchar_t letter, std::unique_ptr<ICdromDevice>* device) {
  // No "insert a disk" box for an empty drive.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
  FileHandle handle = OpenDrive(letter, GENERIC_READ);
  SetErrorMode(previous);
  if (!handle.IsValid()) return LastError();
  *device = std::make_unique<Win32CdromDevice>(std::move(handle), letter);
  return kSuccess;
}

std::wstring Win32CdromDevices::WideFromMsJis(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int count = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), count);
  return text;
}

}  // namespace os::win32
