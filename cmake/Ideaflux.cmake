# Helpers shared by the subsystem libraries, their tests and the benchmarks.
# Every library globs its own folder so that adding a class never touches a shared file.

set(IX_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# ix_library(<Name> [DEPS <targets>...])
#   src/<Name>/*.cpp becomes the static library <Name>; headers are included as
#   "<Name>/<Class>.h" from src/.
function(ix_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/src/${name}/*.cpp"
       "${CMAKE_SOURCE_DIR}/src/${name}/*.c"
       "${CMAKE_SOURCE_DIR}/src/${name}/*.h")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
  target_compile_options(${name} PRIVATE ${IX_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# ix_tests(<Name> [GUI|WIDGETS] [DEPS <targets>...])
#   tests/<Name>/*.cpp becomes the test executable <Name>Tests, run by CTest.
function(ix_tests name)
  cmake_parse_arguments(ARG "WIDGETS" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp"
       "${CMAKE_SOURCE_DIR}/tests/${name}/*.h")
  if(NOT sources)
    return()
  endif()
  add_executable(${name}Tests ${sources})
  target_compile_options(${name}Tests PRIVATE ${IX_WARNINGS})
  target_include_directories(${name}Tests PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  if(ARG_WIDGETS)
    target_link_libraries(${name}Tests PRIVATE IXTestMainWidgets)
  else()
    target_link_libraries(${name}Tests PRIVATE IXTestMain)
  endif()
  target_link_libraries(${name}Tests PRIVATE ${name} ${ARG_DEPS} GTest::gtest GTest::gmock)
  add_test(NAME ${name} COMMAND ${name}Tests)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;IX_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
