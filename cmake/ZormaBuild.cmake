# Compiler settings shared by every target of the project.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_library(zorma_warnings INTERFACE)
target_compile_options(zorma_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow=local -Wno-unused-parameter
  $<$<CXX_COMPILER_ID:GNU>:-finput-charset=UTF-8 -fexec-charset=UTF-8>)

if(ZORMA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(ZORMA_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ZORMA_FUZZ needs clang (use the fuzz preset)")
endif()
if(ZORMA_FUZZ)
  # The libraries under test need coverage instrumentation too, or the fuzzer only sees the
  # few branches of its own entry function.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# zhost_module(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# One static, position-independent library per host module; libzhost.so is made of all of them.
# Tests link the module libraries directly so one module can be tested while another is young.
function(zhost_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(zhost_${name} STATIC ${M_SOURCES})
  target_include_directories(zhost_${name} PUBLIC ${ZORMA_SOURCE_DIR}/host/include)
  target_link_libraries(zhost_${name} PUBLIC ${M_DEPS} PRIVATE zorma_warnings ${M_PRIVATE_DEPS})
  set_property(GLOBAL APPEND PROPERTY ZHOST_MODULES zhost_${name})
  # Third-party libraries are linked into libzhost.so directly; the module archives go in whole.
  foreach(dep ${M_DEPS} ${M_PRIVATE_DEPS})
    if(NOT dep MATCHES "^zhost_")
      set_property(GLOBAL APPEND PROPERTY ZHOST_EXTERNAL_DEPS ${dep})
    endif()
  endforeach()
endfunction()
