#pragma once
// ASF building blocks shared by the writer and the reader: object GUIDs as
// they lie on disk, fixed object sizes and little-endian byte access.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mediaengine::asf {

using Guid = std::array<std::uint8_t, 16>;

// On disk the first three groups of the text form are byte-reversed.
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kReserved1 = {0x11, 0xD2, 0xD3, 0xAB, 0xBA, 0xA9, 0xCF, 0x11,
                             0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                              0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kDataObject = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                              0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kAudioSpread = {0x50, 0xCD, 0xC3, 0xBF, 0x8F, 0x61, 0xCF, 0x11,
                               0x8B, 0xB2, 0x00, 0xAA, 0x00, 0xB4, 0xE2, 0x20};
constexpr Guid kNoErrorCorrection = {0x00, 0x57, 0xFB, 0x20, 0x55, 0x5B, 0xCF, 0x11,
                                     0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

constexpr std::size_t kObjectHeaderSize = 24;          // GUID + QWORD size
constexpr std::size_t kHeaderObjectFixedSize = 30;     // + count, reserved 1 and 2
constexpr std::size_t kFilePropertiesSize = 104;
constexpr std::size_t kStreamPropertiesFixedSize = 78;
constexpr std::size_t kHeaderExtensionSize = 46;
constexpr std::size_t kDataObjectFixedSize = 50;

// File Properties flags.
constexpr std::uint32_t kFlagBroadcast = 0x01;
constexpr std::uint32_t kFlagSeekable = 0x02;

// Extended Content Description value types.
constexpr std::uint16_t kValueString = 0;
constexpr std::uint16_t kValueBytes = 1;
constexpr std::uint16_t kValueBool = 2;
constexpr std::uint16_t kValueDword = 3;
constexpr std::uint16_t kValueQword = 4;
constexpr std::uint16_t kValueWord = 5;

constexpr std::uint64_t kHundredNsPerSecond = 10000000;

inline std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Le64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
inline bool IsGuid(const std::uint8_t* p, const Guid& guid) {
  return std::memcmp(p, guid.data(), guid.size()) == 0;
}

// Appends little-endian values to a byte buffer.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>* out) : out_(out) {}
  void U8(std::uint8_t v) { out_->push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void Bytes(const std::uint8_t* data, std::size_t size) { out_->insert(out_->end(), data, data + size); }
  void Id(const Guid& guid) { Bytes(guid.data(), guid.size()); }
  std::size_t Size() const { return out_->size(); }

 private:
  std::vector<std::uint8_t>* out_;
};

}  // namespace mediaengine::asf
