#include "os/paths.h"

#include "os/text_encoding.h"

namespace os {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring LastPathPart(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring AfterLastBackslash(const std::wstring& path) {
  const std::size_t at = path.rfind(L'\\');
  return at == std::wstring::npos ? path : path.substr(at + 1);
}

std::wstring ParentFolder(const std::wstring& path) {
  const std::size_t at = path.rfind(L'\\');
  return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

std::wstring PathStem(const std::wstring& path) {
  const std::wstring name = LastPathPart(path);
  return name.substr(0, name.rfind(L'.'));
}

std::wstring PathExtension(const std::wstring& path) {
  const std::wstring name = LastPathPart(path);
  const std::size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring WithTrailingBackslash(std::wstring path) {
  if (path.empty() || !IsSeparator(path.back())) path += L'\\';
  return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty() || IsSeparator(folder.back())) return folder + name;
  return folder + L"\\" + name;
}

std::wstring PathKey(const std::wstring& path) {
  std::wstring key = AsciiLower(path);
  for (wchar_t& c : key) {
    if (c == L'/') c = L'\\';
  }
  return key;
}

}  // namespace os
