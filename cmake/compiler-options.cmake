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
