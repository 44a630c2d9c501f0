// The bridge as the WebAssembly module exports it: the page copies the
// request's UTF-8 into memory it took with malloc, calls brennick_call, and
// reads the answer's bytes (brennick_answer_length of them) from the address
// it returns, valid until the next call.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "web/bridge.h"

namespace {
std::string answer;
}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* brennick_call(const char* request, std::size_t length) {
  answer = brennick::web::Call(std::string_view(request, length));
  return answer.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t brennick_answer_length() {
  return answer.size();
}

}  // extern "C"
