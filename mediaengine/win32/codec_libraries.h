#pragma once
// libavcodec and libavutil are DLLs beside the program, loaded on first use
// (delay-loaded), so that a missing or wrong one is found here, before the
// engine starts, instead of failing the first rip or stopping the program
// in the loader.
#include <windows.h>

#include <string>

namespace mediaengine::win32 {

// Loads the DLL of one delay-load descriptor of `module` and looks up every
// entry point `module` takes from it; false with the DLL (and the entry
// point) that does not answer in `failure`.
bool DelayLoadedImportsAnswer(HMODULE module, const IMAGE_DELAYLOAD_DESCRIPTOR& entry,
                              std::wstring* failure);

// The program's own delay-loaded imports answer and the codec they hold is
// the one the engine was built for.
bool CodecLibrariesAnswer(std::wstring* failure);

}  // namespace mediaengine::win32
