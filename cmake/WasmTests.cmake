# The unit tests of the engine, the form model and the formats, built for
# WebAssembly and run under node (`make test-wasm`). GoogleTest is built from
# Debian's sources (the googletest package, /usr/src/googletest); the test
# programs that need the native program, the files layer, a terminal or the
# window (cli, files, ui) stay native.
enable_testing()

# GoogleTest with its own warnings: the project's -Werror and warning
# options are for the project's code.
set(gtest_disable_pthreads ON CACHE BOOL "No threads in this WebAssembly build" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
get_directory_property(brennick_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${BRENNICK_WASM_EXCEPTIONS}")
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${brennick_options}")

# Test files left out here, and why.
set(BRENNICK_NATIVE_ONLY_TESTS
    # SoftExt compared with the x87's long double, operation by operation:
    # WebAssembly has no x87 to compare with.
    ${PROJECT_SOURCE_DIR}/tests/engine/soft_ext_test.cpp
    # The number texts checked against the library's conversion of the x87's
    # long double.
    ${PROJECT_SOURCE_DIR}/tests/engine/parse_format_test.cpp)

function(brennick_wasm_tests name)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp)
  list(REMOVE_ITEM sources ${BRENNICK_NATIVE_ONLY_TESTS})
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE ${ARGN} brennick_test_support gtest gtest_main)
  # A table of texts where two literals make one text on purpose; only clang
  # warns of it.
  target_compile_options(${name}_tests PRIVATE -Wno-string-concatenation)
  brennick_node_program(${name}_tests)
  add_test(NAME ${name}_tests COMMAND node $<TARGET_FILE:${name}_tests>)
endfunction()

brennick_wasm_tests(engine)
brennick_wasm_tests(form brennick_form)
brennick_wasm_tests(formats brennick_design_object)

# brennick-cli under node: files, standard input, exit statuses, the locale's
# separator, and plain output into pipes as it is.
add_test(NAME cli_under_node COMMAND ${PROJECT_SOURCE_DIR}/tests/wasm/cli_under_node.sh
                                     $<TARGET_FILE:brennick-cli>)
