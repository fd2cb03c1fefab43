# Helpers shared by the folders' CMakeLists.
include(GoogleTest)

# mm_add_folders(<folder>...): adds the folders that have a CMakeLists.txt.
function(mm_add_folders)
  foreach(folder IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
      add_subdirectory(${folder})
    endif()
  endforeach()
endfunction()

# mm_test_executable(<name> <skipped> SOURCES ... LIBS ...): the GoogleTest
# executable of mm_test and mm_alsa_test. A skipped one is declared, so that
# folders can refer to its target, but not built.
function(mm_test_executable name skipped)
  cmake_parse_arguments(E "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  if(skipped)
    add_executable(${name} EXCLUDE_FROM_ALL ${E_SOURCES})
  else()
    add_executable(${name} ${E_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${E_LIBS} GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    MM_SOURCE_DIR="${PROJECT_SOURCE_DIR}" MM_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()

# mm_test(<name> SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# One GoogleTest executable; every test case becomes a CTest test.
# Tests labelled 'threaded' are the ones the ThreadSanitizer build runs.
function(mm_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # The ThreadSanitizer build still declares unthreaded tests, so folders can
  # refer to their targets, but neither builds nor runs them.
  set(skipped OFF)
  if(MM_THREADED_ONLY AND NOT "threaded" IN_LIST T_LABELS)
    set(skipped ON)
  endif()
  mm_test_executable(${name} ${skipped} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
  if(skipped)
    return()
  endif()
  # An empty LABELS value would be dropped and shift the property list. The
  # discovered tests carry the first label only (the generated script splits
  # a list), so 'threaded' goes first.
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(GET T_LABELS 0 label)
    list(APPEND properties LABELS ${label})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES ${properties})
endfunction()

# mm_alsa_test(<name> SOURCES ... LIBS ... [TIMEOUT s])
# A GoogleTest executable that runs as a whole inside the ALSA test guest
# (tests/support/alsaguest: a virtual machine with the kernel's sequencer and
# two virtual raw-MIDI cards, which sees the host's files at the same paths).
# Each run boots the guest, so the executable is ONE CTest test, labelled
# 'alsa', that takes both of the machine's processors while it runs.
# TIMEOUT bounds the guest's run (default 300 s). The ThreadSanitizer build
# neither builds nor runs these tests.
function(mm_alsa_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  mm_test_executable(${name} ${MM_THREADED_ONLY} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
  if(MM_THREADED_ONLY)
    return()
  endif()
  add_test(NAME alsa.${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/support/alsaguest/run-in-guest.sh ${PROJECT_BINARY_DIR}
            --timeout ${T_TIMEOUT} -- $<TARGET_FILE:${name}>)
  # The first run also fetches the kernel; the guest's own timeout speaks first.
  math(EXPR ctest_timeout "${T_TIMEOUT} + 120")
  set_tests_properties(alsa.${name} PROPERTIES LABELS alsa TIMEOUT ${ctest_timeout} PROCESSORS 2)
endfunction()

# mm_fuzz(<name> SOURCES ... LIBS ... [SECONDS s] [CORPUS dir...])
# A libFuzzer target; the test build runs it for a few seconds as a CTest test.
# CORPUS names seed folders: every file in them runs first (so findings kept
# there are replayed), and new inputs go to a work folder in the build.
function(mm_fuzz name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS;CORPUS" ${ARGN})
  if(NOT MM_FUZZ OR MM_THREADED_ONLY)
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 10)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(run $<TARGET_FILE:${name}> -max_total_time=${F_SECONDS} -timeout=5 -rss_limit_mb=2048
          -print_final_stats=0)
  if(F_CORPUS)
    # libFuzzer writes new inputs into the first folder; it starts empty on
    # every run so the replay stays as short as the seeds.
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}.corpus)
    list(JOIN run " " line)
    list(JOIN F_CORPUS " " seeds)
    set(run sh -c "rm -rf '${work}' && mkdir '${work}' && exec ${line} '${work}' ${seeds}")
  endif()
  add_test(NAME fuzz.${name} COMMAND ${run})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()

# mm_bench(<name> SOURCES ... LIBS ...): a Google Benchmark program (make bench).
function(mm_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark_main)
endfunction()
