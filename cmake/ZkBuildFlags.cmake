# zk_build_flags: the warnings and the ZK_SANITIZE flags, as an interface target that our own
# targets link privately, so that a project embedding this one keeps its own flags.
# zk_apply_build_flags(DIR) links it into every target built in DIR and the folders below it.
add_library(zk_build_flags INTERFACE)
target_compile_options(zk_build_flags INTERFACE -Wall -Wextra)
if(ZK_SANITIZE)
  list(JOIN ZK_SANITIZE "," _zk_san)
  target_compile_options(zk_build_flags INTERFACE -fsanitize=${_zk_san} -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=all)
  target_link_options(zk_build_flags INTERFACE -fsanitize=${_zk_san})
endif()

function(zk_apply_build_flags dir)
  get_property(_targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS _targets)
    get_target_property(_type ${t} TYPE)
    if(_type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      # Kept out of the installed package's link interface.
      target_link_libraries(${t} PRIVATE $<BUILD_INTERFACE:zk_build_flags>)
    endif()
  endforeach()
  get_property(_subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS _subdirs)
    zk_apply_build_flags(${sub})
  endforeach()
endfunction()
