#pragma once
// Small rules shared by the model objects over the platform control: texts
// in and out as BSTRs, platform objects handed out as new model views, and
// model objects turned back into the platform objects they stand for.
// Nothing thrown leaves these: the core calls the views from event handlers.
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "engine/model/result.h"
#include "engine/win32/com_handles.h"

namespace engine::win32 {

// Reads a BSTR result into `out`.
template <class Call>
wmp::HResult ReadText(Call call, std::wstring* out) {
  if (!out) return wmp::kPointer;
  Bstr text;
  const HRESULT hr = call(text.Receive());
  if (FAILED(hr)) return hr;
  try {
    *out = text.ToString();
  } catch (const std::bad_alloc&) {
    return wmp::kOutOfMemory;
  }
  return hr;
}

// Calls with `text` as a BSTR; kOutOfMemory when it cannot be allocated.
template <class Call>
wmp::HResult WithText(const std::wstring& text, Call call) {
  Bstr argument = Bstr::FromString(text);
  if (!argument && !text.empty()) return wmp::kOutOfMemory;
  return call(argument.Get());
}

// A platform object the control handed out (with result `hr`) as a new
// view; a success without an object is a failure (kFail).
template <class View, class Model, class Com>
wmp::HResult HandOut(HRESULT hr, ComPtr<Com> object, std::shared_ptr<Model>* out) {
  if (FAILED(hr)) return hr;
  if (!object) return wmp::kFail;
  try {
    *out = std::make_shared<View>(std::move(object));
  } catch (const std::bad_alloc&) {
    return wmp::kOutOfMemory;
  }
  return hr;
}

// The platform face of a model object when it is a view of that kind
// (objects of our own engine have none).
template <class View, class Model>
auto ComFaceOf(Model* model) -> decltype(static_cast<View*>(nullptr)->Com()) {
  const View* view = dynamic_cast<View*>(model);
  return view ? view->Com() : nullptr;
}

inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace engine::win32
