# Third-party libraries, all from Debian packages (tools/setup.sh installs them).

find_package(PkgConfig REQUIRED)

# Open CASCADE: only host/geom/kernel may include it. We link the toolkits by name instead of
# find_package(OpenCASCADE), whose imported targets drag in libtbb.so.
set(ZORMA_OCCT_TOOLKITS TKBO TKShHealing TKOffset TKFillet TKTopAlgo TKGeomAlgo TKGeomBase TKBRep
    TKG2d TKG3d TKMath TKernel)
find_path(OCCT_INCLUDE_DIR Standard.hxx PATH_SUFFIXES opencascade REQUIRED)
add_library(zorma_occt INTERFACE)
foreach(tk ${ZORMA_OCCT_TOOLKITS})
  find_library(OCCT_${tk}_LIBRARY ${tk} REQUIRED)
  target_link_libraries(zorma_occt INTERFACE ${OCCT_${tk}_LIBRARY})
endforeach()
# The Debian package lacks one header; tools/setup.sh puts it here.
set(ZORMA_OCCT_FIX_DIR ${CMAKE_SOURCE_DIR}/third_party/occt-fix)
if(NOT EXISTS ${OCCT_INCLUDE_DIR}/NCollection_AliasedArray.hxx
   AND NOT EXISTS ${ZORMA_OCCT_FIX_DIR}/NCollection_AliasedArray.hxx)
  message(FATAL_ERROR "NCollection_AliasedArray.hxx is missing: run tools/setup.sh")
endif()
target_include_directories(zorma_occt SYSTEM INTERFACE ${OCCT_INCLUDE_DIR} ${ZORMA_OCCT_FIX_DIR})

pkg_check_modules(MUPARSER REQUIRED IMPORTED_TARGET muparser)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo)

if(ZORMA_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(ZORMA_BENCH)
  find_package(benchmark REQUIRED)
endif()
