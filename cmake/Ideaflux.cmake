# Helpers shared by the libraries, their tests, the benchmarks and the tools.
# Every library and test folder is globbed, so adding a class never touches a shared file.

option(IX_WARNINGS_AS_ERRORS "Treat compiler warnings as errors (CI turns this on)" OFF)
option(IX_PRECOMPILED_HEADERS "Precompile the Qt and standard headers of every target" ON)

set(IX_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wsuggest-override)
if(IX_WARNINGS_AS_ERRORS)
  list(APPEND IX_WARNINGS -Werror)
endif()

# Headers every target includes often; parsed once per target when precompiled.
set(IX_PCH_STANDARD <algorithm> <array> <cmath> <functional> <limits> <map> <memory> <optional>
    <string> <string_view> <unordered_map> <utility> <vector>)
set(IX_PCH_QT_CORE <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject>
    <QSet> <QString> <QStringList> <QUrl> <QVariant>)
set(IX_PCH_QT_GUI <QColor> <QFont> <QImage>)
set(IX_PCH_QT_WIDGETS <QWidget>)
set(IX_PCH_TESTS <gtest/gtest.h>)

# The layer graph written for the include check: one line per checked folder,
# "<folder>|<libraries it may include>|<test folders it may include>|<Qt modules>".
set(IX_GRAPH_FILE "${CMAKE_BINARY_DIR}/LayerGraph.txt")
file(WRITE "${IX_GRAPH_FILE}" "")

function(ix_warnings target)
  target_compile_options(${target} PRIVATE ${IX_WARNINGS})
endfunction()

# Each folder's headers are published through an include root of its own holding one link,
# <root>/<Name> -> <folder>, so a target finds "<Name>/<Class>.h" only for the folders it
# links and the folder's siblings stay invisible.
function(ix_include_root out kind name folder)
  set(root "${CMAKE_BINARY_DIR}/include/${kind}/${name}")
  file(MAKE_DIRECTORY "${root}")
  file(CREATE_LINK "${folder}" "${root}/${name}" SYMBOLIC)
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

# The root of Qt's headers, holding a folder per module.
get_target_property(qt_core_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER qt_core_includes EXCLUDE REGEX "QtCore$")
list(GET qt_core_includes 0 IX_QT_INCLUDE_DIR)

# The Qt modules a list of link targets brings, with the modules they stand on.
function(ix_qt_modules out)
  set(modules "")
  set(pending ${ARGN})
  while(pending)
    list(POP_FRONT pending item)
    if(item MATCHES "^Qt6::([A-Za-z]+)$" AND TARGET ${item})
      set(module ${CMAKE_MATCH_1})
      if(NOT module IN_LIST modules AND EXISTS "${IX_QT_INCLUDE_DIR}/Qt${module}")
        list(APPEND modules ${module})
        get_target_property(links ${item} INTERFACE_LINK_LIBRARIES)
        if(links)
          list(APPEND pending ${links})
        endif()
      endif()
    endif()
  endwhile()
  set(${out} ${modules} PARENT_SCOPE)
endfunction()

# A library with every library below it, and the Qt modules of all of them.
function(ix_closure out_libraries out_modules)
  set(libraries "")
  set(links "")
  set(pending ${ARGN})
  while(pending)
    list(POP_FRONT pending item)
    if(item IN_LIST libraries OR item IN_LIST links)
      continue()
    endif()
    get_property(known GLOBAL PROPERTY IX_LIBRARY_${item} SET)
    if(known)
      list(APPEND libraries ${item})
      get_property(deps GLOBAL PROPERTY IX_LIBRARY_${item})
      list(APPEND pending ${deps})
    else()
      list(APPEND links ${item})
    endif()
  endwhile()
  ix_qt_modules(modules ${links})
  set(${out_libraries} ${libraries} PARENT_SCOPE)
  set(${out_modules} ${modules} PARENT_SCOPE)
endfunction()

function(ix_record_folder folder libraries test_folders modules)
  string(JOIN "," libraries ${libraries})
  string(JOIN "," test_folders ${test_folders})
  string(JOIN "," modules ${modules})
  file(APPEND "${IX_GRAPH_FILE}" "${folder}|${libraries}|${test_folders}|${modules}\n")
endfunction()

# Precompiles the standard and Qt headers of the modules a target links. Targets of one kind
# (libraries, tests, benchmarks, tools) that link the same Qt modules are compiled with the same
# flags and macros, so the first of them builds the header and the others reuse it.
function(ix_precompile target kind modules)
  if(NOT IX_PRECOMPILED_HEADERS)
    return()
  endif()
  set(key ${modules})
  list(SORT key)
  string(JOIN "_" key ${kind} ${key})
  get_property(host GLOBAL PROPERTY IX_PCH_HOST_${key})
  if(host)
    target_precompile_headers(${target} REUSE_FROM ${host})
    return()
  endif()
  set(headers ${IX_PCH_STANDARD})
  foreach(module Core Gui Widgets)
    if(module IN_LIST modules)
      string(TOUPPER ${module} upper)
      list(APPEND headers ${IX_PCH_QT_${upper}})
    endif()
  endforeach()
  list(APPEND headers ${ARGN})
  target_precompile_headers(${target} PRIVATE ${headers})
  set_property(GLOBAL PROPERTY IX_PCH_HOST_${key} ${target})
endfunction()

# ix_library(<Name> DEPS <libraries and Qt modules it uses directly>...
#                   [PACKAGES <packages its sources use, not its headers>...])
#   src/<Name>/**/*.cpp becomes the static library <Name>; a folder with headers only becomes
#   an interface library, an empty or missing one is skipped. Dependencies that are not
#   built (yet) are dropped, as are optional imported targets that were not found. DEPS are
#   published to whoever links <Name>; the headers of PACKAGES are not (their libraries are
#   still linked), except to the library's own tests.
function(ix_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PACKAGES" ${ARGN})
  set(folder "${CMAKE_SOURCE_DIR}/src/${name}")
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${folder}/*.cpp" "${folder}/*.c")
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS "${folder}/*.h")
  if(NOT sources AND NOT headers)
    return()
  endif()
  set(deps "")
  set(libraries "")
  foreach(d IN LISTS ARG_DEPS)
    get_property(known GLOBAL PROPERTY IX_LIBRARY_${d} SET)
    if(known)
      list(APPEND libraries ${d})
      list(APPEND deps ${d})
    elseif(d MATCHES "::")
      if(TARGET ${d})
        list(APPEND deps ${d})
      endif()
    else()
      file(GLOB_RECURSE built "${CMAKE_SOURCE_DIR}/src/${d}/*.cpp" "${CMAKE_SOURCE_DIR}/src/${d}/*.h")
      if(built)
        message(FATAL_ERROR "${name} uses ${d}: list ${d} above ${name} in src/CMakeLists.txt")
      endif()
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY IX_LIBRARY_${name} ${deps})
  set_property(GLOBAL PROPERTY IX_PACKAGES_${name} ${ARG_PACKAGES})
  set_property(GLOBAL APPEND PROPERTY IX_LIBRARIES ${name})
  ix_include_root(root src ${name} "${folder}")
  ix_closure(closure modules ${name})
  ix_record_folder("src/${name}" "${closure}" "" "${modules}")
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC "${root}")
    target_link_libraries(${name} PUBLIC ${deps} PRIVATE ${ARG_PACKAGES})
    ix_warnings(${name})
    ix_precompile(${name} library "${modules}")
  else()
    add_library(${name} INTERFACE ${headers})
    target_include_directories(${name} INTERFACE "${root}")
    target_link_libraries(${name} INTERFACE ${deps} ${ARG_PACKAGES})
  endif()
endfunction()

# The test helpers of tests/<Name>/, published like a library's headers; the test support
# folder under the name "TestSupport".
function(ix_test_include_root out name)
  set(folder "${CMAKE_SOURCE_DIR}/tests/${name}")
  if(EXISTS "${folder}")
    ix_include_root(root tests ${name} "${folder}")
    set(${out} "${root}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# What the test main of widget tests links besides the platform layer.
set(IX_TEST_WIDGETS_LINKS Qt6::Widgets Qt6::Test)

# Lets a target include the test helpers of the libraries it links ("<Name>/<Helper>.h" from
# tests/<Name>/); the folders found are appended to the list <folders>.
function(ix_use_test_helpers target folders)
  set(found ${${folders}})
  foreach(library IN LISTS ARGN)
    ix_test_include_root(root ${library})
    if(root)
      list(APPEND found ${library})
      target_include_directories(${target} PRIVATE "${root}")
    endif()
  endforeach()
  set(${folders} ${found} PARENT_SCOPE)
endfunction()

# Where the test executables find their fixtures, also when run outside CTest.
set(IX_TEST_DEFINITIONS "IX_SOURCE_DIR=\"${CMAKE_SOURCE_DIR}\"")

# ix_tests(<Name>)
#   tests/<Name>/*.cpp becomes the test executable <Name>Tests linking the library <Name>;
#   every test case is its own CTest test, named "<Name>.<Suite>.<Case>".
function(ix_tests name)
  set(folder "${CMAKE_SOURCE_DIR}/tests/${name}")
  file(GLOB sources CONFIGURE_DEPENDS "${folder}/*.cpp" "${folder}/*.h")
  if(NOT sources)
    return()
  endif()
  ix_closure(closure modules ${name})
  if("Widgets" IN_LIST modules)
    set(main IXTestMainWidgets)
    ix_qt_modules(main_modules ${IX_TEST_WIDGETS_LINKS})
    list(APPEND modules ${main_modules})
    list(REMOVE_DUPLICATES modules)
  else()
    set(main IXTestMain)
  endif()
  set(test_folders TestSupport)
  add_executable(${name}Tests ${sources})
  ix_use_test_helpers(${name}Tests test_folders ${closure})
  ix_record_folder("tests/${name}" "${closure}" "${test_folders}" "${modules}")
  ix_warnings(${name}Tests)
  # "if (c) EXPECT_...;" reads plainly, but GoogleTest's macros end in an if-else of their own.
  target_compile_options(${name}Tests PRIVATE -Wno-dangling-else)
  target_compile_definitions(${name}Tests PRIVATE ${IX_TEST_DEFINITIONS})
  get_property(packages GLOBAL PROPERTY IX_PACKAGES_${name})
  target_link_libraries(${name}Tests PRIVATE ${main} ${name} ${packages} GTest::gtest GTest::gmock)
  ix_precompile(${name}Tests tests "${modules}" ${IX_PCH_TESTS})
  gtest_discover_tests(${name}Tests
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# ix_executable(<target> <folder> [PRECOMPILED] [TEST_HELPERS] SOURCES <files>...
#               DEPS <libraries and imported targets>...)
#   An executable outside the layers (a benchmark, a tool, the application), warned and
#   checked like them. PRECOMPILED executables of one folder share a precompiled header
#   (worth it for a folder of many executables, not for a single source); TEST_HELPERS ones
#   may include the test helpers of the libraries they link.
function(ix_executable target folder)
  cmake_parse_arguments(ARG "PRECOMPILED;TEST_HELPERS" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS})
  ix_warnings(${target})
  ix_closure(closure modules ${ARG_DEPS})
  if(ARG_PRECOMPILED)
    ix_precompile(${target} "${folder}" "${modules}")
  endif()
  set(test_folders "")
  if(ARG_TEST_HELPERS)
    list(APPEND test_folders TestSupport)
    ix_use_test_helpers(${target} test_folders ${closure})
  endif()
  get_property(recorded GLOBAL PROPERTY IX_RECORDED_${folder} SET)
  if(NOT recorded)
    set_property(GLOBAL PROPERTY IX_RECORDED_${folder} TRUE)
    ix_record_folder("${folder}" "${closure}" "${test_folders}" "${modules}")
  endif()
endfunction()

# Every library built, in the order of the graph.
function(ix_all_libraries out)
  get_property(libraries GLOBAL PROPERTY IX_LIBRARIES)
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()
