# How the project's targets are made, in one place for every CMakeLists.txt: a room's library
# with its include root and its per-system sources, unit tests, transcripts and fuzz targets.

# quillmar_per_os_sources(target [concept...] [WIN32_ONLY file...] [POSIX_ONLY file...]): the one
# way a target takes code that differs per operating system. A concept is a pair of files,
# concept_win32.cpp for Windows and concept_posix.cpp for every other system; a file that only
# one system needs is named whole under its system. A file named here that is missing fails the
# configure, on either system, rather than dropping out of one system's build.
function(quillmar_per_os_sources target)
  cmake_parse_arguments(ARG "" "" "WIN32_ONLY;POSIX_ONLY" ${ARGN})
  set(named ${ARG_WIN32_ONLY} ${ARG_POSIX_ONLY})
  foreach(concept ${ARG_UNPARSED_ARGUMENTS})
    list(APPEND named ${concept}_win32.cpp ${concept}_posix.cpp)
  endforeach()
  foreach(file ${named})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${file})
      message(FATAL_ERROR "${target}: ${CMAKE_CURRENT_SOURCE_DIR}/${file} is missing")
    endif()
  endforeach()
  if(WIN32)
    set(files ${ARG_WIN32_ONLY})
    list(TRANSFORM ARG_UNPARSED_ARGUMENTS APPEND _win32.cpp OUTPUT_VARIABLE pairs)
  else()
    set(files ${ARG_POSIX_ONLY})
    list(TRANSFORM ARG_UNPARSED_ARGUMENTS APPEND _posix.cpp OUTPUT_VARIABLE pairs)
  endif()
  target_sources(${target} PRIVATE ${files} ${pairs})
endfunction()

# quillmar_library(name SOURCES file... [PER_OS concept...] [WIN32_ONLY file...]
#                  [POSIX_ONLY file...] [PUBLIC lib...] [PRIVATE lib...] [INCLUDE_ROOT dir]):
# one room's static library. Its headers are included by their path below INCLUDE_ROOT, by
# default the deliverable that holds the room ("schedule/parser.h" below PlanProbe/), or the
# project root for a room right below it ("platform/terminal.h").
function(quillmar_library name)
  cmake_parse_arguments(ARG "" "INCLUDE_ROOT"
    "SOURCES;PER_OS;WIN32_ONLY;POSIX_ONLY;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  if(ARG_PER_OS OR ARG_WIN32_ONLY OR ARG_POSIX_ONLY)
    quillmar_per_os_sources(${name} ${ARG_PER_OS}
      WIN32_ONLY ${ARG_WIN32_ONLY} POSIX_ONLY ${ARG_POSIX_ONLY})
  endif()
  if(NOT ARG_INCLUDE_ROOT)
    file(RELATIVE_PATH room ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    string(REGEX REPLACE "/.*" "" deliverable ${room})
    if(room STREQUAL deliverable)
      set(ARG_INCLUDE_ROOT ${PROJECT_SOURCE_DIR})
    else()
      set(ARG_INCLUDE_ROOT ${PROJECT_SOURCE_DIR}/${deliverable})
    endif()
  endif()
  target_include_directories(${name} PUBLIC ${ARG_INCLUDE_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# quillmar_add_test(name SOURCES ... [PER_OS concept...] LIBS ... [LABELS label...]): one
# GoogleTest executable, registered with CTest; the label "threads" marks the tests whose code
# runs threads, which CI runs again under ThreadSanitizer (preset tsan).
function(quillmar_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PER_OS;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_PER_OS)
    quillmar_per_os_sources(${name} ${ARG_PER_OS})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CMAKE_CROSSCOMPILING)
    # One CTest test per executable: each start under the emulator costs about a second.
    add_test(NAME ${name} COMMAND ${name})
  elseif(ARG_LABELS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# quillmar_add_transcripts(prefix FOLDER folder PROGRAMS target... [ENV name=value...]): one
# CTest test per transcript (*.t) in the folder, run by scripts/transcript-test.sh with the
# programs' folders first on PATH. Transcripts run POSIX shells, so not in the Windows build.
function(quillmar_add_transcripts prefix)
  cmake_parse_arguments(ARG "" "FOLDER" "PROGRAMS;ENV" ${ARGN})
  if(WIN32)
    return()
  endif()
  set(path "")
  foreach(program ${ARG_PROGRAMS})
    list(APPEND path "PATH=path_list_prepend:$<TARGET_FILE_DIR:${program}>")
  endforeach()
  file(GLOB transcripts CONFIGURE_DEPENDS ${ARG_FOLDER}/*.t)
  foreach(transcript ${transcripts})
    get_filename_component(name ${transcript} NAME_WE)
    add_test(NAME ${prefix}_transcript_${name}
      COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/transcript-test.sh ${transcript})
    set_tests_properties(${prefix}_transcript_${name} PROPERTIES
      ENVIRONMENT "TRANSCRIPT_VERSION=${PROJECT_VERSION};${ARG_ENV}"
      ENVIRONMENT_MODIFICATION "${path}" TIMEOUT 300)
  endforeach()
endfunction()

# quillmar_add_fuzzer(name SOURCES ... LIBS ...): one libFuzzer target under build-fuzz/fuzz/.
function(quillmar_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
