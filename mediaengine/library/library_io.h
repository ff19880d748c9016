#pragma once
// File steps of the library: reads in pieces, atomic replacement, folder trees.
#include <cstddef>
#include <functional>
#include <string>

#include "engine/model/result.h"
#include "os/file_system.h"

namespace mediaengine {

// The HRESULT that carries a Win32 error code (success stays success).
wmp::HResult HResultOfError(os::ErrorCode error);

// Reads `path` in pieces of 64 KB, handing each to `take` as it comes.
os::ErrorCode ReadFileInPieces(os::IFileSystem& files, const std::wstring& path,
                               const std::function<void(const char* bytes, std::size_t size)>& take);

// Writes `path` + ".tmp", flushes it and moves it over `path`. On any failure
// the temporary file is removed and `path` keeps its previous content.
os::ErrorCode WriteFileAtomically(os::IFileSystem& files, const std::wstring& path,
                                  const std::string& bytes);

// Creates every missing folder of an absolute path ("C:\\a\\b" or "\\\\srv\\share\\a").
os::ErrorCode CreateFolderTree(os::IFileSystem& files, const std::wstring& folder);

}  // namespace mediaengine
