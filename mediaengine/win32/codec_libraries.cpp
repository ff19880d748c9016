#include "mediaengine/win32/codec_libraries.h"

#include <cstdint>

#include "mediaengine/codec/wmav2_codec.h"

// The descriptors of the delay-load import libraries that
// tools/build-libavcodec-mingw makes: GNU ld links them into the program
// without listing them in its delay-import directory, so they are found by
// their names instead.
extern "C" const IMAGE_DELAYLOAD_DESCRIPTOR __DELAY_IMPORT_DESCRIPTOR_libavcodec_delay_a;
extern "C" const IMAGE_DELAYLOAD_DESCRIPTOR __DELAY_IMPORT_DESCRIPTOR_libavutil_delay_a;

namespace mediaengine::win32 {
namespace {

std::wstring Widen(const char* text) {
  std::wstring wide;
  while (*text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text++));
  return wide;
}

}  // namespace

bool DelayLoadedImportsAnswer(HMODULE module, const IMAGE_DELAYLOAD_DESCRIPTOR& entry,
                              std::wstring* failure) {
  // Addresses relative to the image base: a 64-bit absolute one would not
  // fit in the descriptor's 32 bits.
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const char* dllName = reinterpret_cast<const char*>(base + entry.DllNameRVA);
  // Stays loaded: the delay-load helper finds it again on first use.
  HMODULE dll = LoadLibraryA(dllName);
  if (dll == nullptr) {
    *failure = Widen(dllName);
    return false;
  }
  for (const auto* thunk =
           reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry.ImportNameTableRVA);
       thunk->u1.AddressOfData != 0; ++thunk) {
    if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) {
      const WORD ordinal = static_cast<WORD>(IMAGE_ORDINAL(thunk->u1.Ordinal));
      if (GetProcAddress(dll, MAKEINTRESOURCEA(ordinal)) != nullptr) continue;
      *failure = Widen(dllName) + L" (#" + std::to_wstring(ordinal) + L")";
      return false;
    }
    const char* name =
        reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData)->Name;
    if (GetProcAddress(dll, name) != nullptr) continue;
    *failure = Widen(dllName) + L" (" + Widen(name) + L")";
    return false;
  }
  return true;
}

bool CodecLibrariesAnswer(std::wstring* failure) {
  HMODULE program = GetModuleHandleW(nullptr);
  if (!DelayLoadedImportsAnswer(program, __DELAY_IMPORT_DESCRIPTOR_libavutil_delay_a, failure) ||
      !DelayLoadedImportsAnswer(program, __DELAY_IMPORT_DESCRIPTOR_libavcodec_delay_a, failure)) {
    return false;
  }
  if (!Wmav2Codec::Available()) {
    *failure = L"libavcodec without the wmav2 encoder of this version";
    return false;
  }
  return true;
}

}  // namespace mediaengine::win32
