// Kept apart from the library so that code using the library with a reader
// of its own does not pull in the ASF reader.
#include "mediaengine/library/media_library.h"

namespace mediaengine {

TagReader AsfTagReader(os::IFileSystem& files) {
  return [&files](const std::wstring& path, AsfInfo* info) {
    return ReadAsfInfo(files, path, info);
  };
}

}  // namespace mediaengine
