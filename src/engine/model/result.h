#pragma once
// Results of the engine object model: 32-bit HRESULT-like codes, a value
// below 0 is a failure. Numerically the platform's so they can cross COM.
#include <cstdint>

namespace wmp {

using HResult = std::int32_t;

constexpr HResult kOk = 0;                                           // S_OK
constexpr HResult kFalse = 1;                                        // S_FALSE
constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001);  // E_NOTIMPL
constexpr HResult kPointer = static_cast<HResult>(0x80004003);         // E_POINTER
constexpr HResult kAbort = static_cast<HResult>(0x80004004);           // E_ABORT
constexpr HResult kFail = static_cast<HResult>(0x80004005);            // E_FAIL
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005);    // E_ACCESSDENIED
constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);     // E_OUTOFMEMORY
constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057);      // E_INVALIDARG
constexpr HResult kDiskFull = static_cast<HResult>(0x80070070);        // HRESULT of ERROR_DISK_FULL
constexpr HResult kNotReady = static_cast<HResult>(0x80070015);        // HRESULT of ERROR_NOT_READY
constexpr HResult kFileNotFound = static_cast<HResult>(0x80070002);    // HRESULT of ERROR_FILE_NOT_FOUND

inline bool Failed(HResult result) { return result < 0; }
inline bool Succeeded(HResult result) { return result >= 0; }

}  // namespace wmp
