# Helpers shared by the subsystem CMakeLists files.

# pcn_subsystem_label(VAR): the top-level source folder of the calling
# CMakeLists.txt, which names its subsystem.
function(pcn_subsystem_label var)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" top "${rel}")
  set(${var} ${top} PARENT_SCOPE)
endfunction()

# pcn_add_gtest(NAME SOURCES src... LIBS lib...)
# A GoogleTest executable whose tests are registered with CTest one by one,
# labelled with the top-level folder they belong to (`ctest -L cabinet`).
function(pcn_add_gtest name)
  if(NOT PCN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-bin)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    PCN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PCN_PROGRAM_DIR="${PCN_PROGRAM_DIR}")
  pcn_subsystem_label(label)
  # One variable only: the discovered tests get their properties as a flat
  # list of names and values, where a second one would be read as a property
  # name and the label after it lost.
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "PCN_PROGRAM_DIR=${PCN_PROGRAM_DIR}" LABELS ${label})
endfunction()

# pcn_add_fuzzer(NAME SOURCES src... LIBS lib...)
# A libFuzzer target, built only in a clang build with PCN_FUZZ=ON. CTest runs
# it for a bounded time on its seed corpus (if any).
function(pcn_add_fuzzer name)
  if(NOT PCN_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  # `fuzzers` builds these alone: the instrumented programs are not needed.
  add_dependencies(fuzzers ${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  # libFuzzer writes what it finds into the first corpus folder: keep that in
  # the build tree so the seeds in the source tree stay as committed.
  set(work ${CMAKE_BINARY_DIR}/fuzz/${name}-corpus)
  file(MAKE_DIRECTORY ${work})
  set(seed "")
  if(F_CORPUS)
    set(seed ${F_CORPUS})
  endif()
  add_test(NAME fuzz.${name}
    COMMAND ${name} -max_total_time=${PCN_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10 ${work} ${seed})
  pcn_subsystem_label(label)
  set_tests_properties(fuzz.${name} PROPERTIES LABELS ${label})
endfunction()
