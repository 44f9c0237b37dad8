# zk_add_library(NAME DIR [PACKAGED] [PUBLIC deps...] [PRIVATE deps...]): a static library of
# every source in DIR. Symbols are hidden unless a header marks them ZK_EXPORT
# (host/rtl/Export.h). PACKAGED libraries are also compiled position-independent and go whole
# into the installable library (zk::mailslot, see mailslot/CMakeLists.txt).
function(zk_add_library name)
  cmake_parse_arguments(ARG "PACKAGED" "DIR" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
  if(ARG_PACKAGED)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    set_property(GLOBAL APPEND PROPERTY ZK_PACKAGED_LIBRARIES ${name})
  endif()
endfunction()
