# Links the allocator chosen by IX_ALLOCATOR into the platform library, and so into every
# program, with the settings of PLAllocatorTuning.cpp (see its header). The allocator's shared
# library comes before the C library in each program's search order, so its malloc serves the
# whole process, Qt included.
if(IX_ALLOCATOR STREQUAL "jemalloc")
  pkg_check_modules(JEMALLOC REQUIRED IMPORTED_TARGET GLOBAL jemalloc)
  target_link_libraries(Platform PUBLIC PkgConfig::JEMALLOC)
  set(ix_allocator_definition IX_ALLOCATOR_JEMALLOC)
elseif(IX_ALLOCATOR STREQUAL "mimalloc")
  find_package(mimalloc REQUIRED)
  # Seen from src/, where the platform library is linked.
  set_target_properties(mimalloc PROPERTIES IMPORTED_GLOBAL TRUE)
  target_link_libraries(Platform PUBLIC mimalloc)
  set(ix_allocator_definition IX_ALLOCATOR_MIMALLOC)
elseif(NOT IX_ALLOCATOR STREQUAL "system")
  message(FATAL_ERROR "IX_ALLOCATOR is jemalloc, mimalloc or system, not '${IX_ALLOCATOR}'")
endif()
# Only the settings' source names the allocator: a definition on the whole library would keep
# the libraries that share its precompiled header from using it.
if(ix_allocator_definition)
  set_source_files_properties("${CMAKE_SOURCE_DIR}/src/Platform/Core/PLAllocatorTuning.cpp" TARGET_DIRECTORY Platform
    PROPERTIES COMPILE_DEFINITIONS ${ix_allocator_definition} SKIP_PRECOMPILE_HEADERS ON)
endif()
# Takes the settings' object file from the static library into every program that links it.
target_link_options(Platform INTERFACE "LINKER:--undefined=ix_allocator_settings")
