# Included by tools/<Name>/CMakeLists.txt, so that a tool builds with the project's warnings
# both as part of the whole build and on its own (cmake -S tools/<Name> -B build/<Name>).
if(NOT COMMAND ix_executable)
  set(CMAKE_CXX_STANDARD 20)
  set(CMAKE_CXX_STANDARD_REQUIRED ON)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui)
  include("${CMAKE_CURRENT_LIST_DIR}/../cmake/Ideaflux.cmake")
endif()

# ix_tool(<Name> <sources>...): a generator drawing with Qt Gui; the tools share the headers
# of tools/PictureSupport ("PictureSupport/PictureSupport.h").
function(ix_tool name)
  ix_executable(${name} tools/${name} SOURCES ${ARGN} DEPS Qt6::Gui)
  target_include_directories(${name} PRIVATE "${CMAKE_CURRENT_FUNCTION_LIST_DIR}")
endfunction()
