// Included before every source of the WebAssembly build: the C++20 library
// functions the code uses that emscripten 3.1.6's libc++ does not have yet,
// each defined only where the library lacks it, each doing what the standard
// one does for the uses in the code.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <version>

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
// The array form, the only one the code uses: the elements default-initialised.
template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t n) {
  return unique_ptr<T>(new remove_extent_t<T>[n]);
}
#endif

}  // namespace std

#if !defined(__cpp_lib_ranges)
namespace std::ranges {
// On a whole range, without a projection (form/tooltips.cpp checks its table
// with it at compile time).
struct brennick_none_of_fn {
  template <class Range, class Pred>
  constexpr bool operator()(Range&& range, Pred pred) const {
    for (auto&& element : range) {
      if (std::invoke(pred, element)) return false;
    }
    return true;
  }
};
inline constexpr brennick_none_of_fn none_of{};
}  // namespace std::ranges
#endif
