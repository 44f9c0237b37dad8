# Library headers are included as "zk/<folder>/...", the way users of the installed library
# include them. Inside the build, ZK_INCLUDE_DIR/zk holds a link to each library folder and a
# copy of the export macro header as zk/Export.h: install() copies a file reached through a
# linked folder as a file, but a link to a file as a link.
set(ZK_INCLUDE_DIR ${PROJECT_BINARY_DIR}/include)
file(MAKE_DIRECTORY ${ZK_INCLUDE_DIR}/zk)
foreach(folder IN ITEMS host formfile mailslot words expert)
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${ZK_INCLUDE_DIR}/zk/${folder} SYMBOLIC)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/host/rtl/Export.h ${ZK_INCLUDE_DIR}/zk/Export.h COPYONLY)

# zk_add_library(NAME DIR [PACKAGED] [PUBLIC deps...] [PRIVATE deps...]): a static library of
# every source in DIR. Symbols are hidden unless a header marks them ZK_EXPORT
# (host/rtl/Export.h, included as zk/Export.h). PACKAGED libraries are also compiled position-independent and go whole
# into the installable library (zk::mailslot, see mailslot/CMakeLists.txt).
#
# Every library also comes as NAME_visible: the same sources as an object library, compiled
# position-independent with every symbol visible, built only when a target names it. The
# designer links the host layers this way and exports that one copy of the host to the package
# it loads; the package (HelpExpert.so) is the layers above the host, left to bind to it. Our
# libraries among the dependencies become their visible flavours, which give their headers and
# settings only: an object library's objects go into the targets that name it, nowhere else.
function(zk_add_library name)
  cmake_parse_arguments(ARG "PACKAGED" "DIR" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${ZK_INCLUDE_DIR} ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
  if(ARG_PACKAGED)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    set_property(GLOBAL APPEND PROPERTY ZK_PACKAGED_LIBRARIES ${name})
  endif()

  add_library(${name}_visible OBJECT EXCLUDE_FROM_ALL ${srcs})
  list(TRANSFORM ARG_PUBLIC REPLACE "^(zk_.*)$" "\\1_visible" OUTPUT_VARIABLE public)
  list(TRANSFORM ARG_PRIVATE REPLACE "^(zk_.*)$" "\\1_visible" OUTPUT_VARIABLE private)
  target_link_libraries(${name}_visible PUBLIC ${public} PRIVATE ${private})
  # The include folders and definitions of the library itself, whatever is added to it later.
  target_include_directories(${name}_visible
                             PUBLIC $<TARGET_PROPERTY:${name},INTERFACE_INCLUDE_DIRECTORIES>)
  target_compile_definitions(${name}_visible PRIVATE $<TARGET_PROPERTY:${name},COMPILE_DEFINITIONS>)
  set_target_properties(${name}_visible PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
