#pragma once
// Windows paths as text: the pieces the engine and the tool take apart and
// join. Nothing here touches the file system.
#include <string>

namespace os {

// The part after the last backslash or slash (a file's name); the whole text
// when there is neither.
std::wstring LastPathPart(const std::wstring& path);
// The text after the last backslash only; the whole text when there is none.
std::wstring AfterLastBackslash(const std::wstring& path);
// Everything before the last backslash; empty when there is none.
std::wstring ParentFolder(const std::wstring& path);
// The last part without its extension ("C:\a\01 Song.wma" -> "01 Song").
std::wstring PathStem(const std::wstring& path);
// The extension of the last part without its dot, as written; empty when
// there is none.
std::wstring PathExtension(const std::wstring& path);

// Without trailing backslashes; a text of three characters or fewer keeps
// them, so a drive root such as "C:\" stays one.
std::wstring WithoutTrailingBackslash(std::wstring path);
// With a trailing backslash, added unless the path ends with a backslash or
// a slash already.
std::wstring WithTrailingBackslash(std::wstring path);
// `folder` and `name` with a backslash between them unless the folder ends
// with one (or a slash); `name` alone when the folder is empty.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The form in which two spellings of one Windows path compare equal: ASCII
// letters lowered and slashes made backslashes.
std::wstring PathKey(const std::wstring& path);

}  // namespace os
