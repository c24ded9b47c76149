# One interface target that every Quendra target links: warnings, sanitizers and the Qt
# switches that keep string encodings and container copies explicit.
add_library(quendra_options INTERFACE)
# Beyond -Wall -Wextra: a virtual function hidden by an overload, a cast that drops const,
# a declaration written twice, floating-point numbers compared for equality.
target_compile_options(quendra_options INTERFACE -Wall -Wextra -Woverloaded-virtual
  -Wcast-qual -Wredundant-decls -Wfloat-equal)
target_compile_definitions(quendra_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_FOREACH QT_NO_KEYWORDS)
if(QUENDRA_WERROR)
  target_compile_options(quendra_options INTERFACE -Werror)
endif()
if(QUENDRA_SANITIZE)
  target_compile_options(quendra_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quendra_options INTERFACE -fsanitize=address,undefined)
endif()
if(QUENDRA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUENDRA_FUZZ needs clang (CXX=clang++)")
  endif()
  # Coverage for libFuzzer in everything the harnesses link; the harnesses themselves
  # add -fsanitize=fuzzer, which brings libFuzzer's main.
  target_compile_options(quendra_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(quendra_options INTERFACE -fsanitize=address,undefined)
endif()
