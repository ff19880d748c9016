#pragma once
// Win32 error codes that the ports report. Kept numerically identical to the
// platform's so the adapters can pass results through unchanged.
#include <cstdint>

namespace os {

using ErrorCode = long;

constexpr ErrorCode kSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorPathNotFound = 3;
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorInvalidHandle = 6;
constexpr ErrorCode kErrorWriteProtect = 19;
constexpr ErrorCode kErrorNotReady = 21;
constexpr ErrorCode kErrorCrc = 23;  // the data did not read
constexpr ErrorCode kErrorHandleDiskFull = 39;
constexpr ErrorCode kErrorNotSupported = 50;
constexpr ErrorCode kErrorFileExists = 80;
constexpr ErrorCode kErrorInvalidParameter = 87;
constexpr ErrorCode kErrorDiskFull = 112;
constexpr ErrorCode kErrorInvalidName = 123;
constexpr ErrorCode kErrorBadPathname = 161;
constexpr ErrorCode kErrorDirNotEmpty = 145;
constexpr ErrorCode kErrorAlreadyExists = 183;
constexpr ErrorCode kErrorFilenameTooLong = 206;
constexpr ErrorCode kErrorMoreData = 234;
constexpr ErrorCode kErrorNoMoreItems = 259;
constexpr ErrorCode kErrorNoMoreFiles = 18;
constexpr ErrorCode kErrorKeyDeleted = 1018;
constexpr ErrorCode kErrorMediaChanged = 1110;
constexpr ErrorCode kErrorNoMediaInDrive = 1112;

}  // namespace os
