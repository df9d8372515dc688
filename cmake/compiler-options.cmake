# Warnings as errors, size-conscious code generation and the hardened
# executable layout, for every target of the project (link project_options).
add_library(project_options INTERFACE)
target_compile_features(project_options INTERFACE cxx_std_20)
target_compile_definitions(project_options INTERFACE
  STRICT NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
target_compile_options(project_options INTERFACE
  -Wall -Wextra -Werror -Wshadow=local -Wnon-virtual-dtor
  # Win32 structures are initialised as {sizeof s}, the rest zero.
  -Wno-missing-field-initializers
  -ffunction-sections -fdata-sections)
target_include_directories(project_options INTERFACE ${PROJECT_SOURCE_DIR})
# Address-space layout randomisation with the relocations it needs, no
# executable data, terminal-server aware; unused sections dropped.
target_link_options(project_options INTERFACE
  -Wl,--dynamicbase -Wl,--enable-reloc-section -Wl,--nxcompat -Wl,--tsaware
  -Wl,--gc-sections $<$<CONFIG:Release,MinSizeRel>:-s>)
# The 32-bit image also declares that it calls no structured-exception
# handler, and stays within 2 GiB of address space (never tested beyond).
# The declaration is true: the compiler unwinds C++ exceptions with DWARF
# tables (it is built --with-dwarf2 --disable-sjlj-exceptions), and the
# run-time library watches for faults through vectored handlers and the
# unhandled-exception filter, none of which is frame-based. Frame-based
# handlers are registered by writing fs:[0]; the release image never does,
# nor imports RtlUnwind (tests/build/executable_tests.cpp checks both).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  target_link_options(project_options INTERFACE -Wl,--no-seh -Wl,--disable-large-address-aware)
endif()
