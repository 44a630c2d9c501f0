# The WebAssembly build (emscripten, `make wasm`): the engine, the form model,
# the formats and brennick-cli for node, and the unit tests of the first three
# run under node. Included by the top-level CMakeLists.txt when the compiler
# is emscripten's; scripts/wasm.sh configures it.

# The code throws and catches DesignError, so exceptions are switched on for
# compiling and linking alike, or a throw aborts the program. WebAssembly's
# own exceptions (node runs them from version 17; browsers since 2021): with
# emscripten's JavaScript-based ones every call that may unwind goes out to
# JavaScript and back, which made brennick-cli several times slower. Every
# object of a program must use the same kind (googletest's included).
set(BRENNICK_WASM_EXCEPTIONS -fwasm-exceptions)
add_compile_options(${BRENNICK_WASM_EXCEPTIONS})
add_link_options(${BRENNICK_WASM_EXCEPTIONS})

# What the library lacks of C++20 (std::bit_cast, make_unique_for_overwrite),
# before every source.
add_compile_options("SHELL:-include ${PROJECT_SOURCE_DIR}/cmake/wasm_libcxx_compat.h")

# CLI11 is a header-only Debian package; its CMake configuration would put
# the host's /usr/include on the include path, which must not reach a
# WebAssembly compile. Its own folder of headers alone is enough.
find_path(BRENNICK_CLI11_HEADER CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          NO_DEFAULT_PATH REQUIRED)
set(BRENNICK_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${BRENNICK_HOST_HEADERS})
file(CREATE_LINK ${BRENNICK_CLI11_HEADER}/CLI ${BRENNICK_HOST_HEADERS}/CLI SYMBOLIC)
file(WRITE ${CMAKE_BINARY_DIR}/cli11-config/CLI11Config.cmake
     "if(NOT TARGET CLI11::CLI11)\n"
     "  add_library(CLI11::CLI11 INTERFACE IMPORTED)\n"
     "  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES\n"
     "                        ${BRENNICK_HOST_HEADERS})\n"
     "endif()\n")
set(CLI11_DIR ${CMAKE_BINARY_DIR}/cli11-config CACHE PATH "CLI11's headers for WebAssembly" FORCE)

# How a program runs under node: the files are the real file system (NODERAWFS),
# exit() ends the process with its status and flushes the output, memory grows
# with the input, and cmake/wasm-node-pre.js hands the wasm file and the
# environment over (see there).
set(BRENNICK_WASM_NODE_LINK_OPTIONS
    -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=node
    "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/cmake/wasm-node-pre.js")

function(brennick_node_program target)
  target_link_options(${target} PRIVATE ${BRENNICK_WASM_NODE_LINK_OPTIONS})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
               ${PROJECT_SOURCE_DIR}/cmake/wasm-node-pre.js)
endfunction()

# The design run's timing under node (bench/design_timing.cpp, `make bench-wasm`).
add_executable(design_timing ${PROJECT_SOURCE_DIR}/bench/design_timing.cpp)
target_link_libraries(design_timing PRIVATE brennick_test_support)
brennick_node_program(design_timing)
