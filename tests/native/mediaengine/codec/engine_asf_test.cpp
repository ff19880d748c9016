// .wma files made by the encoder: what the reader gets back, the layout of
// header and packets as other readers expect it, damaged files, full disks.
#include <gtest/gtest.h>

#include <cstring>

#include "mediaengine/codec/asf_format.h"
#include "mediaengine/codec/asf_writer.h"
#include "mediaengine/codec/wma_encoder.h"
#include "fakes/fake_file_system.h"
#include "native/support/engine_signals.h"
#include "native/support/wmav2_decoder.h"

namespace {

namespace asf = mediaengine::asf;
using mediaengine::AsfInfo;
using mediaengine::AsfTags;
using mediaengine::WmaEncoder;

constexpr std::uint32_t kClasses[] = {mediaengine::kWmaRateClass64, mediaengine::kWmaRateClass128};
// The codec's frame: each block codes this many stereo frames.
constexpr std::size_t kCodecFrame = 2048;

const std::uint8_t* At(const std::string& s, std::size_t offset) {
  return reinterpret_cast<const std::uint8_t*>(s.data()) + offset;
}
std::string Text(const asf::Guid& guid) { return std::string(guid.begin(), guid.end()); }
std::string Utf16Le(const std::wstring& text) {  // BMP only
  std::string out;
  for (wchar_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
  return out;
}

AsfTags SampleTags() {
  AsfTags tags;
  tags.title = L"夜明けのスキャット";
  tags.author = L"由紀さおり";
  tags.albumTitle = L"1969";
  tags.albumArtist = L"由紀さおり & Pink Martini";
  tags.genre = L"J-Pop";
  tags.year = L"2011";
  tags.trackNumber = L"12";
  return tags;
}

// Counts open streams: on Windows a file still open cannot be deleted.
class CountingFiles : public fakes::FakeFileSystem {
 public:
  int openStreams = 0;
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override {
    std::unique_ptr<os::IFileStream> inner;
    const os::ErrorCode result = FakeFileSystem::Open(path, mode, &inner);
    if (result == os::kSuccess) *stream = std::make_unique<Counted>(std::move(inner), &openStreams);
    return result;
  }

 private:
  struct Counted : os::IFileStream {
    Counted(std::unique_ptr<os::IFileStream> s, int* n) : inner(std::move(s)), count(n) { ++*count; }
    ~Counted() override { --*count; }
    os::ErrorCode Read(void* b, std::uint32_t s, std::uint32_t* d) override { return inner->Read(b, s, d); }
    os::ErrorCode Write(const void* b, std::uint32_t s) override { return inner->Write(b, s); }
    os::ErrorCode Seek(std::uint64_t o) override { return inner->Seek(o); }
    std::uint64_t Size() const override { return inner->Size(); }
    os::ErrorCode Flush() override { return inner->Flush(); }
    std::unique_ptr<os::IFileStream> inner;
    int* count;
  };
};

// Encodes in rip-sized chunks; kErrorDiskFull and the like come back as the
// first failure.
os::ErrorCode EncodeTo(os::IFileSystem& files, const std::wstring& path, std::uint32_t rateClass,
                       const std::vector<std::int16_t>& stereo, WmaEncoder* encoder,
                       const AsfTags& tags = SampleTags()) {
  os::ErrorCode result = encoder->Open(files, path, tags, rateClass, 133485408000000000ULL);
  for (std::size_t done = 0; done < stereo.size() / 2 && result == os::kSuccess; done += 4410) {
    result = encoder->Write(stereo.data() + 2 * done, std::min<std::size_t>(4410, stereo.size() / 2 - done));
  }
  return result == os::kSuccess ? encoder->Finish() : result;
}

std::string Encode(std::uint32_t rateClass, const std::vector<std::int16_t>& stereo,
                   const AsfTags& tags = SampleTags()) {
  CountingFiles files;
  files.AddDrive(L'C');
  WmaEncoder encoder;
  EXPECT_EQ(EncodeTo(files, L"C:\\rip.tmp", rateClass, stereo, &encoder, tags), os::kSuccess);
  EXPECT_EQ(files.openStreams, 0);
  return files.Content(L"C:\\rip.tmp");
}

bool ReadInfo(const std::string& file, AsfInfo* info) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  files.AddFile(L"C:\\a.wma", file);
  return mediaengine::ReadAsfInfo(files, L"C:\\a.wma", info);
}

// The header's child objects, each with its 24-byte head, and the same file
// rebuilt from other children (with File Size kept true, as an editor would).
std::vector<std::string> Children(const std::string& file) {
  std::vector<std::string> children;
  for (std::size_t at = asf::kHeaderObjectFixedSize; at < asf::Le64(At(file, 16)); at += children.back().size()) {
    children.push_back(file.substr(at, asf::Le64(At(file, at + 16))));
  }
  return children;
}

const std::string& Child(const std::vector<std::string>& children, const asf::Guid& guid) {
  static const std::string none;
  for (const std::string& child : children) {
    if (asf::IsGuid(At(child, 0), guid)) return child;
  }
  return none;
}

std::string WithChildren(const std::string& file, const std::vector<std::string>& children) {
  std::vector<std::uint8_t> head;
  asf::ByteWriter w(&head);
  std::string body;
  for (const std::string& child : children) body += child;
  w.Id(asf::kHeaderObject);
  w.U64(asf::kHeaderObjectFixedSize + body.size());
  w.U32(static_cast<std::uint32_t>(children.size()));
  w.U16(0x0201);
  std::string out = std::string(head.begin(), head.end()) + body + file.substr(asf::Le64(At(file, 16)));
  const std::size_t fileSize = out.find(Text(asf::kFileProperties)) + 40;
  for (int i = 0; i < 8; ++i) out[fileSize + i] = static_cast<char>(out.size() >> (8 * i));
  return out;
}

// Walks the data packets as a demuxer does, checks each, and decodes the
// audio with libavcodec set up from the stream description alone.
std::vector<std::int16_t> AudioOfPackets(const std::string& file) {
  const std::vector<std::string> children = Children(file);
  const std::string& properties = Child(children, asf::kFileProperties);
  const std::string& stream = Child(children, asf::kStreamProperties);
  const std::uint32_t packetSize = asf::Le32(At(properties, 92));
  EXPECT_EQ(asf::Le32(At(properties, 96)), packetSize) << "fixed-size packets";
  const std::uint32_t typeSize = asf::Le32(At(stream, 64));
  const std::uint16_t cbSize = asf::Le16(At(stream, 78 + 16));
  EXPECT_EQ(typeSize, 18u + cbSize);
  const std::uint16_t blockAlign = asf::Le16(At(stream, 78 + 12));
  const std::vector<std::uint8_t> codecData(At(stream, 78 + 18), At(stream, 78 + 18 + cbSize));
  auto decoder = testing_support::Wmav2Decoder::Open(asf::Le16(At(stream, 78 + 2)),
                                                     static_cast<int>(asf::Le32(At(stream, 78 + 4))),
                                                     static_cast<int>(asf::Le32(At(stream, 78 + 8)) * 8),
                                                     blockAlign, codecData);
  EXPECT_TRUE(decoder) << "the decoder takes the stream description";
  if (!decoder) return {};

  const std::size_t data = asf::Le64(At(file, 16));
  const std::uint64_t count = asf::Le64(At(file, data + 40));
  EXPECT_TRUE(asf::IsGuid(At(file, data), asf::kDataObject));
  EXPECT_EQ(asf::Le64(At(properties, 56)), count);
  EXPECT_EQ(data + asf::Le64(At(file, data + 16)), file.size());
  EXPECT_EQ(asf::kDataObjectFixedSize + count * packetSize, asf::Le64(At(file, data + 16)));
  EXPECT_EQ(std::memcmp(At(file, data + 24), At(properties, 24), 16), 0) << "file id";
  std::vector<std::int16_t> audio;
  std::uint32_t lastSend = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* p = At(file, data + asf::kDataObjectFixedSize + i * packetSize);
    // Error correction 82 00 00; one payload, WORD padding length; property flags.
    EXPECT_EQ(std::memcmp(p, "\x82\x00\x00\x10\x5D", 5), 0) << i;
    const std::uint16_t padding = asf::Le16(p + 5);
    const std::uint32_t send = asf::Le32(p + 7);
    EXPECT_TRUE(i == 0 ? send == 0 : send > lastSend) << "send times rise from 0";
    lastSend = send;
    EXPECT_EQ(p[13], 0x81) << "stream 1, key frame";
    EXPECT_EQ(p[14], static_cast<std::uint8_t>(i)) << "media object number";
    EXPECT_EQ(asf::Le32(p + 15), 0u) << "offset into the media object";
    EXPECT_EQ(p[19], 8) << "replicated data";
    const std::uint32_t objectSize = asf::Le32(p + 20);
    EXPECT_EQ(asf::Le32(p + 24), send + 3100) << "presentation = send + preroll";
    EXPECT_EQ(28u + objectSize + padding, packetSize);
    EXPECT_EQ(objectSize % blockAlign, 0u) << "whole blocks";
    EXPECT_TRUE(decoder->Decode(p + 28, objectSize, &audio)) << "packet " << i;
  }
  EXPECT_TRUE(decoder->Drain(&audio));
  return audio;
}

TEST(WmaFile, RoundTripKeepsTagsLengthRateClassAndAudio) {
  const std::size_t frames = 44100 * 3 + 1234;
  const std::vector<std::int16_t> music = engine_signals::MusicLike(frames, 44100.0);
  for (std::uint32_t rateClass : kClasses) {
    SCOPED_TRACE(rateClass);
    const std::string file = Encode(rateClass, music);
    AsfInfo info;
    ASSERT_TRUE(ReadInfo(file, &info));
    const AsfTags tags = SampleTags();
    EXPECT_EQ(info.tags.title, tags.title);
    EXPECT_EQ(info.tags.author, tags.author);
    EXPECT_EQ(info.tags.albumTitle, tags.albumTitle);
    EXPECT_EQ(info.tags.albumArtist, tags.albumArtist);
    EXPECT_EQ(info.tags.genre, tags.genre);
    EXPECT_EQ(info.tags.year, tags.year);
    EXPECT_EQ(info.tags.trackNumber, tags.trackNumber);
    EXPECT_NEAR(info.durationSeconds, frames / 44100.0, 1e-6);
    EXPECT_EQ(info.bitrate / 1000, rateClass / 1000);
    EXPECT_EQ(info.fileSize, file.size());

    // What other readers rely on, straight from the bytes.
    const std::vector<std::string> children = Children(file);
    const std::string& properties = Child(children, asf::kFileProperties);
    ASSERT_FALSE(properties.empty());
    EXPECT_EQ(asf::Le64(At(properties, 40)), file.size()) << "exact File Size";
    EXPECT_EQ(asf::Le64(At(properties, 64)), frames * 10000000ULL / 44100 + 3100 * 10000ULL)
        << "play duration holds the preroll";
    EXPECT_EQ(asf::Le64(At(properties, 72)), frames * 10000000ULL / 44100) << "send duration";
    EXPECT_EQ(asf::Le32(At(properties, 88)), asf::kFlagSeekable);
    EXPECT_EQ(asf::Le32(At(properties, 100)) / 1000, rateClass / 1000) << "max bitrate";
    EXPECT_FALSE(Child(children, asf::kHeaderExtension).empty());

    // Windows Media Audio 2, 44.1 kHz stereo at the class rate, with the
    // codec's set-up data and audio spread over one block, as WMA readers expect.
    const std::string& stream = Child(children, asf::kStreamProperties);
    EXPECT_TRUE(asf::IsGuid(At(stream, 24), asf::kAudioMedia));
    EXPECT_TRUE(asf::IsGuid(At(stream, 40), asf::kAudioSpread));
    const std::uint8_t* format = At(stream, 78);
    EXPECT_EQ(asf::Le16(format), 0x0161) << "WMA v2";
    EXPECT_EQ(asf::Le16(format + 2), 2);
    EXPECT_EQ(asf::Le32(format + 4), 44100u);
    EXPECT_EQ(asf::Le32(format + 8), rateClass / 8);
    const std::uint16_t blockAlign = asf::Le16(format + 12);
    EXPECT_EQ(blockAlign, rateClass * kCodecFrame / (44100 * 8)) << "the rate's whole bytes";
    EXPECT_EQ(asf::Le16(format + 16), 10) << "codec data";
    const std::uint8_t* spread = format + 18 + 10;
    EXPECT_EQ(asf::Le32(At(stream, 68)), 8u);
    EXPECT_EQ(spread[0], 1) << "span";
    EXPECT_EQ(asf::Le16(spread + 1), blockAlign);
    EXPECT_EQ(asf::Le16(spread + 3), blockAlign);

    // The packets carry the input from its first sample to its last, and
    // at most two codec frames of silence after it.
    const std::vector<std::int16_t> audio = AudioOfPackets(file);
    ASSERT_GE(audio.size(), 2 * frames);
    EXPECT_LE(audio.size(), 2 * (frames + 2 * kCodecFrame));
    EXPECT_EQ(engine_signals::BestLag(music, audio, 44100, 4096, 3 * kCodecFrame), 0u);
    const std::vector<std::int16_t>& aligned = audio;
    EXPECT_GT(engine_signals::SnrDb(music, aligned, music.size()),
              rateClass == mediaengine::kWmaRateClass128 ? 18.0 : 15.0);
    const std::size_t lastSecond = music.size() - 2 * 44100;
    EXPECT_GT(engine_signals::SnrDb(std::vector<std::int16_t>(music.begin() + lastSecond, music.end()),
                                    std::vector<std::int16_t>(aligned.begin() + lastSecond, aligned.end()),
                                    2 * 44100),
              rateClass == mediaengine::kWmaRateClass128 ? 18.0 : 15.0) << "the end is kept";
  }
}

TEST(WmaFile, WholeFileStaysInItsRateClassForOrdinaryTracks) {
  // Players also derive a rate from size and length: packet heads, header
  // and the last packet's padding must leave tracks of a few minutes in class.
  for (std::uint32_t rateClass : kClasses) {
    for (int seconds : {240, 400}) {
      SCOPED_TRACE(testing::Message() << rateClass << " " << seconds);
      fakes::FakeFileSystem files;
      files.AddDrive(L'C');
      WmaEncoder encoder;
      const std::vector<std::int16_t> quiet = engine_signals::StereoTone(1000.0, 20.0, 1.0, 44100);
      ASSERT_EQ(encoder.Open(files, L"C:\\a.wma", SampleTags(), rateClass), os::kSuccess);
      for (int s = 0; s < seconds; ++s) ASSERT_EQ(encoder.Write(quiet.data(), 44100), os::kSuccess);
      ASSERT_EQ(encoder.Finish(), os::kSuccess);
      EXPECT_EQ(files.Content(L"C:\\a.wma").size() * 8 / seconds / 1000, rateClass / 1000);
    }
  }
}

TEST(WmaEncoder, CodesLoudAndOddInputIntoWholeDecodableBlocks) {
  // The encoder lowers its precision until a block fits; even full-scale
  // noise at 64 kbit/s must fit rather than fail the track.
  std::uint32_t seed = 12345;
  std::vector<std::int16_t> noise(2 * 44100 * 2);
  for (auto& sample : noise) {
    seed = seed * 1664525u + 1013904223u;
    sample = static_cast<std::int16_t>(seed >> 16);
  }
  std::vector<std::int16_t> nyquist(2 * 44100);
  for (std::size_t i = 0; i < nyquist.size(); ++i) nyquist[i] = (i / 2) % 2 ? -32768 : 32767;
  std::vector<std::int16_t> leftOnly = noise;
  for (std::size_t i = 1; i < leftOnly.size(); i += 2) leftOnly[i] = 0;
  const struct {
    const char* what;
    std::vector<std::int16_t> audio;
  } cases[] = {
      {"full-scale noise", noise},
      {"full-scale square at half the rate", nyquist},
      {"largest constant", std::vector<std::int16_t>(2 * 44100, 32767)},
      {"noise on the left only", leftOnly},
      {"one frame", {1000, -1000}},
      {"a codec frame less one", engine_signals::MusicLike(kCodecFrame - 1, 44100.0)},
      {"a codec frame and one", engine_signals::MusicLike(kCodecFrame + 1, 44100.0)},
  };
  for (std::uint32_t rateClass : kClasses) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << rateClass << " " << c.what);
      const std::string file = Encode(rateClass, c.audio);
      AsfInfo info;
      ASSERT_TRUE(ReadInfo(file, &info));
      EXPECT_NEAR(info.durationSeconds, c.audio.size() / 2 / 44100.0, 0.001);
      const std::vector<std::int16_t> audio = AudioOfPackets(file);
      EXPECT_GE(audio.size(), c.audio.size()) << "every sample comes back";
    }
  }
}

TEST(Wmav2Codec, SplitsFramesIntoAPlaneAChannelWithEachSampleOver32768) {
  // Counts around the four frames taken at a time, and the extremes.
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{4},
                                   std::size_t{7}, kCodecFrame}) {
    SCOPED_TRACE(count);
    std::vector<std::int16_t> frames(2 * count);
    for (std::size_t i = 0; i < frames.size(); ++i) {
      const std::int16_t edges[] = {-32768, 32767, -1, 0, 1};
      frames[i] = i < 5 ? edges[i] : static_cast<std::int16_t>(i * 7919 - 30000);
    }
    std::vector<float> left(count + 1, 9.0f), right(count + 1, 9.0f);
    mediaengine::SplitChannels(frames.data(), count, left.data(), right.data());
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(left[i], frames[2 * i] / 32768.0f) << i;
      EXPECT_EQ(right[i], frames[2 * i + 1] / 32768.0f) << i;
    }
    EXPECT_EQ(left[count], 9.0f) << "nothing written past the frames";
    EXPECT_EQ(right[count], 9.0f);
  }
}

TEST(AsfReader, TakesNumericTrackNumbersAndSkipsUnknownObjects) {
  const std::string original = Encode(mediaengine::kWmaRateClass128, engine_signals::MusicLike(4410, 44100.0));
  std::vector<std::string> children = Children(original);
  // Another extended description: an unknown value type, a DWORD track
  // number and a genre; plus an object the reader does not know.
  std::string body("\x03\x00", 2);
  const auto add = [&body](const std::wstring& name, std::uint16_t type, const std::string& value) {
    const std::string n = Utf16Le(name + L'\0');
    body += {static_cast<char>(n.size()), '\0'};
    body += n + std::string{static_cast<char>(type), '\0', static_cast<char>(value.size()), '\0'} + value;
  };
  add(L"WM/Picture", 9, std::string(40, 'x'));
  add(L"WM/TrackNumber", asf::kValueDword, std::string("\x07\x00\x00\x00", 4));
  add(L"WM/Genre", asf::kValueString, Utf16Le(std::wstring(L"演歌") + L'\0'));
  std::string extended = Text(asf::kExtendedContentDescription) + std::string(8, '\0') + body;
  extended[16] = static_cast<char>(extended.size());
  for (std::string& child : children) {
    if (asf::IsGuid(At(child, 0), asf::kExtendedContentDescription)) child = extended;
  }
  std::string unknown(37, '\x5A');
  unknown.replace(16, 8, std::string("\x25\0\0\0\0\0\0\0", 8));
  children.insert(children.begin() + 1, unknown);

  AsfInfo info;
  ASSERT_TRUE(ReadInfo(WithChildren(original, children), &info));
  EXPECT_EQ(info.tags.trackNumber, L"7");
  EXPECT_EQ(info.tags.genre, L"演歌");
  EXPECT_EQ(info.tags.albumTitle, L"") << "no longer in the file";
  EXPECT_EQ(info.tags.title, L"夜明けのスキャット");

  // The writer leaves out empty tags; an empty track is still a file.
  const std::string empty = Encode(mediaengine::kWmaRateClass64, {}, AsfTags());
  EXPECT_EQ(empty.find(Utf16Le(L"WM/")), std::string::npos);
  ASSERT_TRUE(ReadInfo(empty, &info));
  EXPECT_EQ(info.durationSeconds, 0.0);
}

TEST(AsfReader, RejectsTruncatedAndDamagedFiles) {
  const std::string file = Encode(mediaengine::kWmaRateClass64, engine_signals::MusicLike(44100, 44100.0));
  AsfInfo info;
  ASSERT_TRUE(ReadInfo(file, &info));
  const std::size_t headerSize = asf::Le64(At(file, 16));
  for (std::size_t length = 0; length < headerSize + asf::kDataObjectFixedSize; ++length) {
    ASSERT_FALSE(ReadInfo(file.substr(0, length), &info)) << "cut at " << length;
  }
  EXPECT_FALSE(ReadInfo(file.substr(0, file.size() - 1), &info)) << "cut in the last packet";

  const std::vector<std::string> children = Children(file);
  const auto damaged = [&](const asf::Guid& guid, std::size_t offset, std::uint64_t value, int width) {
    std::vector<std::string> copy = children;
    for (std::string& child : copy) {
      for (int i = 0; i < width && asf::IsGuid(At(child, 0), guid); ++i) {
        child[offset + i] = static_cast<char>(value >> (8 * i));
      }
    }
    return WithChildren(file, copy);
  };
  const auto withFileSize = [&](std::uint64_t value) {
    std::string copy = file;
    const std::size_t field = copy.find(Text(asf::kFileProperties)) + 40;
    for (int i = 0; i < 8; ++i) copy[field + i] = static_cast<char>(value >> (8 * i));
    return copy;
  };
  const struct { const char* what; std::string file; } cases[] = {
      {"object size past the header", damaged(asf::kFileProperties, 16, 100000, 8)},
      {"object size below its head", damaged(asf::kStreamProperties, 16, 10, 8)},
      {"codec data past its object", damaged(asf::kStreamProperties, 64, 5000, 4)},
      {"title longer than its object", damaged(asf::kContentDescription, 24, 0xFFF0, 2)},
      {"more descriptors than present", damaged(asf::kExtendedContentDescription, 24, 40, 2)},
      // WM/AlbumTitle comes first: count, name length, 28 bytes of name, type.
      {"descriptor value past the end", damaged(asf::kExtendedContentDescription, 58, 0xFFFF, 2)},
      {"no file properties", damaged(asf::kFileProperties, 0, 0x11, 1)},
      {"never finished (File Size 0)", withFileSize(0)},
      {"File Size past the end", withFileSize(file.size() + 1)},
      {"not an ASF header", "RIFF" + file.substr(4)},
      {"header size past the file", file.substr(0, 16) + std::string("\xFF\xFF\xFF\0\0\0\0\0", 8) + file.substr(24)},
  };
  for (const auto& c : cases) EXPECT_FALSE(ReadInfo(c.file, &info)) << c.what;
  EXPECT_TRUE(ReadInfo(damaged(asf::kContentDescription, 24, 0, 0), &info)) << "an undamaged copy reads";
}

// Values no writer produces: refused, so the library never keeps a length
// or an object list it cannot trust.
TEST(AsfReader, RefusesImpossibleDurationsAndAMiscountedHeader) {
  const std::string file = Encode(mediaengine::kWmaRateClass64, engine_signals::MusicLike(4410, 44100.0));
  const std::size_t properties = file.find(Text(asf::kFileProperties));
  ASSERT_NE(properties, std::string::npos);
  const auto with = [&](std::size_t offset, std::uint64_t value, int width) {
    std::string copy = file;
    for (int i = 0; i < width; ++i) copy[offset + i] = static_cast<char>(value >> (8 * i));
    return copy;
  };
  const std::uint64_t longest = 1000000000ull * 10000000;  // about 31 years, in 100 ns
  const struct {
    const char* what;
    std::string file;
    bool valid;
  } cases[] = {
      {"as written", file, true},
      {"the longest play duration kept", with(properties + 64, longest, 8), true},
      {"play duration 2^64-1", with(properties + 64, UINT64_MAX, 8), false},
      {"play duration past the longest", with(properties + 64, longest + 1, 8), false},
      {"preroll 2^64-1", with(properties + 80, UINT64_MAX, 8), false},
      {"one object fewer than there are", with(24, 4, 4), false},
      {"one object more than there are", with(24, 6, 4), false},
      {"no objects", with(24, 0, 4), false},
  };
  for (const auto& c : cases) {
    AsfInfo info;
    EXPECT_EQ(ReadInfo(c.file, &info), c.valid) << c.what;
    if (c.valid) {
      EXPECT_LE(info.durationSeconds, 1e9) << c.what;
    }
  }
}

TEST(WmaEncoder, FullDiskIsReportedClosesTheFileAndNeverEndsInSuccess) {
  const std::vector<std::int16_t> audio = engine_signals::MusicLike(44100 * 2, 44100.0);
  const std::uint64_t fullSize = Encode(mediaengine::kWmaRateClass128, audio).size();
  for (std::uint64_t capacity : {std::uint64_t{0}, std::uint64_t{200}, std::uint64_t{9000},
                                 fullSize / 2, fullSize - 1, fullSize}) {
    SCOPED_TRACE(capacity);
    CountingFiles files;
    files.AddDrive(L'E', capacity);
    WmaEncoder encoder;
    const os::ErrorCode result = EncodeTo(files, L"E:\\rip.tmp", mediaengine::kWmaRateClass128, audio, &encoder);
    EXPECT_EQ(files.openStreams, 0);
    if (capacity == fullSize) {
      EXPECT_EQ(result, os::kSuccess);
      continue;
    }
    EXPECT_EQ(result, os::kErrorDiskFull);
    EXPECT_EQ(encoder.Write(audio.data(), 10), os::kErrorDiskFull) << "the failure sticks";
    EXPECT_EQ(encoder.Finish(), os::kErrorDiskFull);
  }
}

TEST(WmaEncoder, AbandonClosesTheFileAndMisuseIsRefused) {
  CountingFiles files;
  files.AddDrive(L'C');
  const std::vector<std::int16_t> audio = engine_signals::MusicLike(44100, 44100.0);
  WmaEncoder stopped;
  ASSERT_EQ(stopped.Open(files, L"C:\\rip.tmp", SampleTags(), mediaengine::kWmaRateClass64), os::kSuccess);
  ASSERT_EQ(stopped.Write(audio.data(), 44100), os::kSuccess);
  EXPECT_EQ(files.openStreams, 1);
  stopped.Abandon();
  EXPECT_EQ(files.openStreams, 0);
  EXPECT_EQ(stopped.Write(audio.data(), 100), os::kErrorInvalidHandle);
  EXPECT_EQ(stopped.Finish(), os::kErrorInvalidHandle);
  AsfInfo info;
  EXPECT_FALSE(ReadInfo(files.Content(L"C:\\rip.tmp"), &info)) << "never completed";

  WmaEncoder wrongClass;
  EXPECT_EQ(wrongClass.Open(files, L"C:\\a.wma", SampleTags(), 96000), os::kErrorInvalidParameter);
  EXPECT_FALSE(files.Exists(L"C:\\a.wma"));
  WmaEncoder noFolder;
  EXPECT_EQ(noFolder.Open(files, L"C:\\missing\\a.wma", SampleTags(), mediaengine::kWmaRateClass64),
            os::kErrorPathNotFound);
  EXPECT_EQ(noFolder.Write(audio.data(), 2), os::kErrorPathNotFound);
  WmaEncoder twice;
  EXPECT_NE(twice.Finish(), os::kSuccess) << "not open yet";
  ASSERT_EQ(twice.Open(files, L"C:\\b.wma", SampleTags(), mediaengine::kWmaRateClass64), os::kSuccess);
  EXPECT_EQ(twice.Open(files, L"C:\\c.wma", SampleTags(), mediaengine::kWmaRateClass64), os::kErrorInvalidParameter);
  ASSERT_EQ(twice.Finish(), os::kSuccess);
  EXPECT_NE(twice.Finish(), os::kSuccess);
  const std::uint8_t block[1] = {0};
  EXPECT_EQ(twice.WriteCoded(block, 0, 0), os::kErrorInvalidParameter) << "finished";
  EXPECT_EQ(twice.FinishCoded(), os::kErrorInvalidParameter);

  // Coded blocks follow whole frames only: after audio short of a frame they
  // would land in the middle of one.
  WmaEncoder mixed;
  EXPECT_EQ(mixed.WriteCoded(block, 0, 0), os::kErrorInvalidParameter) << "not open yet";
  ASSERT_EQ(mixed.Open(files, L"C:\\d.wma", SampleTags(), mediaengine::kWmaRateClass64), os::kSuccess);
  ASSERT_EQ(mixed.Write(audio.data(), 100), os::kSuccess);
  EXPECT_EQ(mixed.WriteCoded(block, 0, 0), os::kErrorInvalidParameter);
  EXPECT_EQ(mixed.FinishCoded(), os::kErrorInvalidParameter);
  mixed.Abandon();
  WmaEncoder full;  // a failed write of coded blocks sticks as Write's does
  files.AddDrive(L'E', 20000);
  ASSERT_EQ(full.Open(files, L"E:\\e.wma", SampleTags(), mediaengine::kWmaRateClass64), os::kSuccess);
  const std::vector<std::uint8_t> blocks(64 * full.BlockAlign(), 0x55);
  os::ErrorCode result = os::kSuccess;
  for (int i = 0; i < 8 && result == os::kSuccess; ++i) result = full.WriteCoded(blocks.data(), 64, 64 * 2048);
  EXPECT_EQ(result, os::kErrorDiskFull);
  EXPECT_EQ(full.FinishCoded(), os::kErrorDiskFull);
}

}  // namespace
