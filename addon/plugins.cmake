# The two plug-ins, BX24TORV.so and BX23TORV.so: the objects of every add-on folder plus the
# version exports of one host API, linked against the host's interface library libzhost.so.
# Everything is hidden but the entry points the host looks up by name (ZHOST_ADDON_EXPORT,
# ZHOST_ORDINAL_EXPORT), as a plug-in exports only what its definition file lists.

get_property(zorma_addon_folders GLOBAL PROPERTY ZORMA_ADDON_FOLDERS)
foreach(folder ${zorma_addon_folders})
  set_target_properties(${folder} PROPERTIES
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON POSITION_INDEPENDENT_CODE ON)
endforeach()

# zorma_plugin(<name> <version source>)
function(zorma_plugin name version_source)
  add_library(${name} SHARED ${CMAKE_CURRENT_SOURCE_DIR}/frame/${version_source})
  foreach(folder ${zorma_addon_folders})
    # The objects, not the archives: an archive member nobody references would be dropped, and
    # linking archives whole clashes with their transitive links to each other.
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:${folder}>)
    add_dependencies(${name} ${folder})
  endforeach()
  target_link_libraries(${name} PRIVATE zhost_api zhost zorma_warnings ${CMAKE_DL_LIBS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${name}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

zorma_plugin(BX24TORV VersionApi24.cpp)
zorma_plugin(BX23TORV VersionApi23.cpp)
