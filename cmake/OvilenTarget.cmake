# Settings shared by every target of the project.

if((OVILEN_SANITIZE OR OVILEN_FUZZ) AND OVILEN_TSAN OR (OVILEN_SANITIZE AND OVILEN_FUZZ))
  message(FATAL_ERROR "OVILEN_SANITIZE, OVILEN_TSAN and OVILEN_FUZZ exclude one another")
endif()
if(OVILEN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(OVILEN_SANITIZED=1)
endif()
if(OVILEN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "OVILEN_FUZZ needs clang (preset \"fuzz\")")
  endif()
  # Coverage for libFuzzer everywhere; the fuzz targets add the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(OVILEN_SANITIZED=1)
endif()
if(OVILEN_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
  add_compile_definitions(OVILEN_SANITIZED=1)
endif()

# Warnings are errors on our own code only; third-party headers come in as
# system includes through their imported targets.
function(ovilen_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# The environment of the host tools run at build time (skin, icons). They may
# be built with the sanitizers; Qt's font cache is kept until exit on purpose,
# which is no leak of ours, and ThreadSanitizer checks our code only, as in
# the tests (Qt's own thread pool draws large images).
set(OVILEN_TOOL_ENV ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
  TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizers/tsan.supp:ignore_noninstrumented_modules=1)
