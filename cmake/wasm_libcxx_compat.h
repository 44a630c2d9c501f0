// Included before every source of the WebAssembly build: the two C++20
// library functions the code uses that emscripten 3.1.6's libc++ does not
// have yet, each defined only where the library lacks it. Both do exactly
// what the standard ones do.
#pragma once

#include <bit>
#include <cstddef>
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
