# Shared build helpers. Every include path is rooted at the repository top:
#   #include "framework/base/String.h"

set(KIV_WINDOWS ${WIN32})

if(KIV_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(KIV_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(KIV_TARGET_SET STREQUAL "fuzz")
  # Everything in the fuzz tree is instrumented for coverage and checked by ASan/UBSan;
  # the fuzz executables add the libFuzzer driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KIV_WINDOWS)
  # The deliverables need no mingw runtime DLL.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Every Windows test runs under Wine (32-bit for the i686 build, 64-bit for the x86_64 build:
  # the Wine tools read the tree's wine-arch) in a prefix and on a display of its own: a copy of
  # the build's template prefix (tools/wine/isolate).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-arch CONTENT "win32\n")
  else()
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-arch CONTENT "win64\n")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine/kivwine --isolated ${CMAKE_BINARY_DIR}/wine-template)
endif()

function(kiv_add_googletest)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endfunction()

# kiv_library(name SOURCES ... [LIBS ...]): a static library of our own code.
function(kiv_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# kiv_test(name SOURCES ... [LIBS ...] [WINDOWS_ONLY] [NATIVE_ONLY] [TIMEOUT s] [LABELS ...])
# One GoogleTest executable and one ctest entry (one Wine process per executable).
function(kiv_test name)
  cmake_parse_arguments(A "WINDOWS_ONLY;NATIVE_ONLY" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT KIV_TARGET_SET STREQUAL "all")
    return()
  endif()
  if((A_WINDOWS_ONLY AND NOT KIV_WINDOWS) OR (A_NATIVE_ONLY AND KIV_WINDOWS))
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(KIV_RUN_TESTS)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    if(NOT A_TIMEOUT)
      set(A_TIMEOUT 300)
    endif()
    set(labels ${A_LABELS})
    if(KIV_WINDOWS)
      list(APPEND labels wine)
    else()
      list(APPEND labels native)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${labels}")
  endif()
endfunction()

# Adds every child folder that has a CMakeLists.txt, so a new area needs no edit of its parent.
function(kiv_add_subdirectories)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(NOT child STREQUAL "build" AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# kiv_fuzz(name SOURCES ... LIBS ... [CORPUS dir] [GENERATE kind] [DICT file] [SECONDS n]): a
# libFuzzer target (fuzz tree only), and a ctest entry that runs it for a bounded time over a
# copy of the seed corpus, with the seeds fuzz/seeds/generate-seeds.py writes for that kind.
function(kiv_fuzz name)
  cmake_parse_arguments(A "" "CORPUS;GENERATE;DICT;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT KIV_TARGET_SET STREQUAL "fuzz")
    return()
  endif()
  if(NOT A_SECONDS)
    set(A_SECONDS 60)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
                   ${PROJECT_SOURCE_DIR}/tools/fuzz/run-fuzzer $<TARGET_FILE:${name}> "${A_CORPUS}" ${work} ${A_SECONDS}
                   "${A_GENERATE}" "${A_DICT}")
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
endfunction()

# kiv_bench(name SOURCES ... LIBS ...): a benchmark program (bench tree only; not a test).
function(kiv_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KIV_TARGET_SET STREQUAL "bench")
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
