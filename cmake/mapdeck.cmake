# Build conventions shared by every folder of the tree.
#
# Every target includes the repository root, so headers are named by their
# path from it: #include "platform/win/wingdi.h", #include "host/basilo/...".

set(MD_WARNINGS -Wall -Wextra)
# GCC 12 at -O3 reports overlapping copies inside std::string's own inlined
# code that cannot happen; the warning says nothing about this tree there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND MD_WARNINGS -Wno-restrict)
endif()

# Source paths in __FILE__ (and so in log records) and in the debugging
# information are relative to the repository root, whether the compiler is
# given absolute paths or, through a compiler cache that rewrites them, paths
# relative to the build folder; the build folder itself becomes ".". No
# binary names the folders it was built in.
file(RELATIVE_PATH md_source_from_build ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
string(REGEX REPLACE "/$" "" md_source_from_build "${md_source_from_build}")
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
if(md_source_from_build)
  add_compile_options(-ffile-prefix-map=${md_source_from_build}/=)
endif()
if(MAPDECK_WERROR)
  list(APPEND MD_WARNINGS -Werror)
endif()

# A host unloads libmapdeck and the libraries it brought in. Statics of inline
# functions and templates stay each library's own: process-wide unique symbols
# would mark a library as never unloadable, and with it everything bound to it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
endif()

if(MAPDECK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MAPDECK_TSAN)
  if(MAPDECK_SANITIZE OR MAPDECK_FUZZ)
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer (MAPDECK_SANITIZE, MAPDECK_FUZZ)")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(MAPDECK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# A sanitizer's report names functions, files and lines, which line tables
# give: the rest of the debugging information makes these builds a tenth
# slower for nothing their checks read.
if(MAPDECK_SANITIZE OR MAPDECK_TSAN OR MAPDECK_FUZZ)
  add_compile_options($<IF:$<CXX_COMPILER_ID:Clang>,-gline-tables-only,-g1>)
endif()

# Adds every immediate sub-folder of DIR that has a CMakeLists.txt (sorted, so
# the order is stable), or DIR itself when it has one. A sub-folder that holds
# sources but no CMakeLists.txt is an error: nothing is left out silently.
function(md_add_subdirectories dir)
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${dir}
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
    list(SORT children)
    foreach(child ${children})
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${child})
      if(NOT IS_DIRECTORY ${path})
        continue()
      endif()
      if(EXISTS ${path}/CMakeLists.txt)
        add_subdirectory(${dir}/${child})
      else()
        file(GLOB_RECURSE stray ${path}/*.cpp)
        if(stray)
          message(FATAL_ERROR "${dir}/${child} holds sources but no CMakeLists.txt")
        endif()
      endif()
    endforeach()
  else()
    add_subdirectory(${dir})
  endif()
endfunction()

# Every target's dependencies are recorded with md_depends and checked once
# the whole tree is configured (md_check_dependencies, called last by the top
# CMakeLists.txt): a dependency that names no target is an error, so a missing
# library stops the configuration instead of silently dropping what needs it.
function(md_depends target)
  foreach(dep ${ARGN})
    # Flags, the system's dl library and imported targets (found by a
    # REQUIRED find_package, which already fails loudly) are not checked here.
    if(dep MATCHES "^-" OR dep MATCHES "::" OR dep STREQUAL "${CMAKE_DL_LIBS}")
      continue()
    endif()
    set_property(GLOBAL APPEND PROPERTY MD_DEPENDENCIES "${target}>${dep}")
  endforeach()
endfunction()

# Records that nothing the target links, directly or through the public
# dependencies of what it links, may be `forbidden`; md_check_dependencies
# checks it once every target exists.
function(md_forbid_dependency target forbidden)
  set_property(GLOBAL APPEND PROPERTY MD_FORBIDDEN_DEPENDENCIES "${target}>${forbidden}")
endfunction()

# The targets the target links and, through their public link interfaces,
# everything those bring along (a chain of names joined by " -> " for each).
function(md_link_closure target out)
  set(seen)
  set(queue ${target})
  set(paths_${target} ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current STREQUAL target)
      get_target_property(links ${current} LINK_LIBRARIES)
    else()
      get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
    endif()
    foreach(dep ${links})
      if(NOT TARGET ${dep} OR dep IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${dep})
      list(APPEND queue ${dep})
      set(paths_${dep} "${paths_${current}} -> ${dep}")
    endforeach()
  endwhile()
  set(result)
  foreach(dep ${seen})
    list(APPEND result "${paths_${dep}}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# md_forbid_needed(target forbidden [ALLOW lib ...])
# Records that no shared library the target links needs `forbidden` when
# loaded, directly or through the shared libraries of this tree it needs in
# turn (their NEEDED entries, read with readelf once they are built): a
# private dependency is left out of the link closure md_forbid_dependency
# checks, but the loader still brings it. The libraries after ALLOW may need
# it directly. md_check_dependencies adds the check.
function(md_forbid_needed target forbidden)
  cmake_parse_arguments(ARG "" "" "ALLOW" ${ARGN})
  string(REPLACE ";" "," allowed "${ARG_ALLOW}")
  set_property(GLOBAL APPEND PROPERTY MD_FORBIDDEN_NEEDED "${target}>${forbidden}>${allowed}")
endfunction()

# For each md_forbid_needed pair: a target of the build (in ALL) that reads
# the NEEDED entries of the shared libraries the target links and fails the
# build when the forbidden library is among what they need.
function(md_add_needed_checks)
  get_property(pairs GLOBAL PROPERTY MD_FORBIDDEN_NEEDED)
  get_property(shared GLOBAL PROPERTY MD_SHARED_LIBRARIES)
  if(NOT pairs)
    return()
  endif()
  if(NOT CMAKE_READELF)
    message(FATAL_ERROR "readelf is needed to check what the libraries need when loaded")
  endif()
  set(known)
  foreach(lib ${shared})
    string(APPEND known "$<TARGET_FILE:${lib}>|")
  endforeach()
  foreach(pair ${pairs})
    string(REPLACE ">" ";" parts "${pair}")
    list(GET parts 0 target)
    list(GET parts 1 dep)
    list(GET parts 2 allowed_targets)
    string(REPLACE "," ";" allowed_targets "${allowed_targets}")
    set(allowed)
    foreach(lib ${allowed_targets})
      string(APPEND allowed "$<TARGET_FILE_NAME:${lib}>|")
    endforeach()
    get_target_property(links ${target} LINK_LIBRARIES)
    set(roots)
    set(files)
    foreach(link ${links})
      if(link IN_LIST shared)
        string(APPEND roots "$<TARGET_FILE:${link}>|")
        list(APPEND files $<TARGET_FILE:${link}>)
      endif()
    endforeach()
    set(stamp ${PROJECT_BINARY_DIR}/needed-checks/${target}-${dep}.stamp)
    add_custom_command(
      OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DREADELF=${CMAKE_READELF} "-DROOTS=${roots}" "-DKNOWN=${known}"
              -DFORBIDDEN=$<TARGET_FILE_NAME:${dep}> "-DALLOWED=${allowed}" -DWHAT=${target}
              -DSTAMP=${stamp}
              -P ${PROJECT_SOURCE_DIR}/cmake/checkneeded.cmake
      DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/checkneeded.cmake
      COMMENT "Checking that what ${target} links needs no ${dep}"
      VERBATIM)
    add_custom_target(check_needed_${target}_${dep} ALL DEPENDS ${stamp})
  endforeach()
endfunction()

function(md_check_dependencies)
  md_add_needed_checks()
  get_property(forbidden GLOBAL PROPERTY MD_FORBIDDEN_DEPENDENCIES)
  foreach(pair ${forbidden})
    string(REPLACE ">" ";" parts "${pair}")
    list(GET parts 0 target)
    list(GET parts 1 dep)
    md_link_closure(${target} chains)
    foreach(chain ${chains})
      if(chain MATCHES "(^| -> )${dep}$")
        message(FATAL_ERROR "${target} must not link ${dep}: ${chain}")
      endif()
    endforeach()
  endforeach()
  get_property(pairs GLOBAL PROPERTY MD_DEPENDENCIES)
  set(missing)
  foreach(pair ${pairs})
    string(REPLACE ">" ";" parts "${pair}")
    list(GET parts 0 target)
    list(GET parts 1 dep)
    if(NOT TARGET ${dep})
      list(APPEND missing "${target} needs ${dep}")
    endif()
  endforeach()
  if(missing)
    list(JOIN missing "\n  " text)
    message(FATAL_ERROR "Missing dependencies:\n  ${text}")
  endif()
endfunction()

# The map frame finds the data folder the install puts beside the library's
# folder (cmake/install.cmake) by this path from the folder of the binary that
# carries the frame's code.
include(GNUInstallDirs)
file(RELATIVE_PATH MD_DATA_FROM_LIBRARY /p/${CMAKE_INSTALL_LIBDIR} /p/${CMAKE_INSTALL_DATADIR}/mapdeck)

# Puts the component list the install has (layout/graphicelement/mapframe/
# othercomponents.cfg) where map frames look for it in the build tree: in the
# data folder beside libmapdeck's folder, and beside the folder of every
# program that carries the layout objects itself (the test programs, the
# benchmarks, the fuzz targets), so that the demo and the tests find it as an
# installed host does. Each of those targets builds the lists first. Called
# once the whole tree is configured.
function(md_add_component_lists)
  set(carriers)
  if(TARGET mapdeck)
    list(APPEND carriers mapdeck)
  endif()
  get_property(pairs GLOBAL PROPERTY MD_DEPENDENCIES)
  foreach(pair ${pairs})
    if(pair MATCHES "^(.+)>mapdeck_objects$")
      list(APPEND carriers ${CMAKE_MATCH_1})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES carriers)
  set(source ${PROJECT_SOURCE_DIR}/layout/graphicelement/mapframe/othercomponents.cfg)
  set(lists)
  set(commands)
  foreach(target ${carriers})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
    elseif(type STREQUAL "SHARED_LIBRARY")
      get_target_property(folder ${target} LIBRARY_OUTPUT_DIRECTORY)
    else()
      continue()
    endif()
    if(NOT folder)
      get_target_property(folder ${target} BINARY_DIR)
    endif()
    cmake_path(SET component_list NORMALIZE "${folder}/${MD_DATA_FROM_LIBRARY}/othercomponents.cfg")
    if(NOT component_list IN_LIST lists)
      list(APPEND lists ${component_list})
      cmake_path(GET component_list PARENT_PATH data)
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E make_directory ${data} COMMAND ${CMAKE_COMMAND} -E copy
           ${source} ${component_list})
    endif()
  endforeach()
  if(NOT lists)
    return()
  endif()
  add_custom_command(OUTPUT ${lists} ${commands} DEPENDS ${source}
                     COMMENT "Placing the component list where the build's map frames look for it" VERBATIM)
  add_custom_target(md_component_lists DEPENDS ${lists})
  foreach(target ${carriers})
    add_dependencies(${target} md_component_lists)
  endforeach()
endfunction()

function(md_target_defaults target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${MD_WARNINGS})
endfunction()

# md_library(NAME [STATIC] [OBJECTS objects] [DIRS d1 d2 ...] [DEPS t1 t2 ...] [PRIVATE_DEPS ...])
# Builds a shared library from every .cpp below the listed folders (default:
# the current folder, recursively), leaving out the sub-folders with a
# CMakeLists.txt of their own (they build their own targets). Stand-in
# libraries are shared, as the libraries they stand for are: one copy of each
# process-wide object. With OBJECTS, the sources are compiled once into an
# object library of that name, with the same dependencies, which the library
# is linked from and a program of the library's own may link too.
function(md_library name)
  cmake_parse_arguments(ARG "STATIC" "OBJECTS" "DIRS;DEPS;PRIVATE_DEPS" ${ARGN})
  if(NOT ARG_DIRS)
    set(ARG_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(sources)
  foreach(d ${ARG_DIRS})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${d}/*.cpp)
    file(GLOB_RECURSE own RELATIVE ${d} CONFIGURE_DEPENDS ${d}/*/CMakeLists.txt)
    foreach(lists ${own})
      get_filename_component(sub ${lists} DIRECTORY)
      list(FILTER s EXCLUDE REGEX "^${d}/${sub}/")
    endforeach()
    list(APPEND sources ${s})
  endforeach()
  if(ARG_OBJECTS)
    add_library(${ARG_OBJECTS} OBJECT ${sources})
    md_target_defaults(${ARG_OBJECTS})
    target_link_libraries(${ARG_OBJECTS} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    md_depends(${ARG_OBJECTS} ${ARG_DEPS} ${ARG_PRIVATE_DEPS})
    set(sources $<TARGET_OBJECTS:${ARG_OBJECTS}>)
  endif()
  if(ARG_STATIC)
    add_library(${name} STATIC ${sources})
  else()
    add_library(${name} SHARED ${sources})
  endif()
  md_target_defaults(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  md_depends(${name} ${ARG_DEPS} ${ARG_PRIVATE_DEPS})
  if(NOT ARG_STATIC)
    set_property(GLOBAL APPEND PROPERTY MD_SHARED_LIBRARIES ${name})
  endif()
endfunction()

# What every test program is compiled and linked with. The precompiled header
# of the test programs (md_testpch) is built with exactly these flags, so that
# each of them can reuse it.
function(md_test_defaults name)
  md_target_defaults(${name})
  target_compile_definitions(${name} PRIVATE MD_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             MD_TEST_OUTPUT_DIR="${PROJECT_BINARY_DIR}/test-output")
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main)
  # Test code only drives the library, which keeps its own optimisation: at
  # -Og a test file compiles in well under half the time it takes at -O2.
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    target_compile_options(${name} PRIVATE -Og)
  endif()
  if(TARGET md_testpch)
    # GCC uses a precompiled header only with the flags it was made with:
    # some test programs get -pthread from the libraries they use, so every
    # one is compiled with it. A program whose flags differ still builds,
    # parsing the headers itself, and the build says so.
    target_compile_options(${name} PRIVATE -pthread -Wno-error=invalid-pch)
  endif()
  # A compiler cache reuses results built with a precompiled header only when
  # told to ignore what it cannot see through one.
  if(CCACHE_PROGRAM AND TARGET md_testpch)
    set_target_properties(${name} PROPERTIES CXX_COMPILER_LAUNCHER
                          "${CMAKE_COMMAND};-E;env;CCACHE_SLOPPINESS=pch_defines,time_macros;${CCACHE_PROGRAM}")
  endif()
endfunction()

# md_test(NAME [DIRS ...] [SOURCES ...] DEPS t1 t2 ...)
# One GoogleTest program from the listed sources, or from every .cpp below the
# listed folders (default: the current folder, recursively); each case
# becomes a ctest test.
function(md_test name)
  cmake_parse_arguments(ARG "" "" "DIRS;SOURCES;DEPS" ${ARGN})
  if(NOT ARG_DIRS AND NOT ARG_SOURCES)
    set(ARG_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(sources ${ARG_SOURCES})
  foreach(d ${ARG_DIRS})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${d}/*.cpp)
    list(APPEND sources ${s})
  endforeach()
  add_executable(${name} ${sources})
  md_test_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  md_depends(${name} ${ARG_DEPS})
  if(TARGET md_testpch)
    target_precompile_headers(${name} REUSE_FROM md_testpch)
  endif()
  # The time limits only catch a hang: they lie far above what a test takes
  # on a slow, busy machine, where sanitized programs run several times slower.
  if(MAPDECK_SANITIZE OR MAPDECK_TSAN)
    set(limit 1500)
  else()
    set(limit 300)
  endif()
  # A ThreadSanitizer build lists its tests when ctest runs, not after
  # linking: where the kernel's address randomisation keeps the sanitizer
  # from starting, scripts/test-threads.sh runs ctest without it.
  if(MAPDECK_TSAN)
    set(discovery PRE_TEST)
  else()
    set(discovery POST_BUILD)
  endif()
  # Under the sanitizers the caches system libraries keep for the life of a
  # process are no leak, whoever runs ctest.
  set(environment)
  if(MAPDECK_SANITIZE)
    set(environment ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp:print_suppressions=0")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 300 DISCOVERY_MODE ${discovery} PROPERTIES TIMEOUT ${limit}
                       ${environment})
  # A program with a test whose suite or name says "Thread" joins the target
  # thread_tests (tests/CMakeLists.txt), which a ThreadSanitizer build makes.
  foreach(source ${sources})
    file(STRINGS ${source} threaded REGEX "^[ \t]*TEST(_F|_P)?\\([^)]*Thread" LIMIT_COUNT 1)
    if(threaded)
      set_property(GLOBAL APPEND PROPERTY MD_THREAD_TEST_PROGRAMS ${name})
      break()
    endif()
  endforeach()
endfunction()

# md_test_helper(TEST NAME SOURCE DEFINE MACRO DEPS t1 t2 ...)
# A program the test program TEST runs: NAME, built from SOURCE with TEST,
# its path handed to TEST's sources as the macro MACRO.
function(md_test_helper test name source)
  cmake_parse_arguments(ARG "" "DEFINE" "DEPS" ${ARGN})
  add_executable(${name} ${source})
  md_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  md_depends(${name} ${ARG_DEPS})
  add_dependencies(${test} ${name})
  target_compile_definitions(${test} PRIVATE ${ARG_DEFINE}="$<TARGET_FILE:${name}>")
endfunction()
