# Adds every direct child folder of the current source folder that has a CMakeLists.txt, in
# name order, so a new component only needs its own folder. The glob is checked at every build,
# so a new folder is picked up without configuring by hand.
function(qel_add_child_dirs)
  file(GLOB _lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT _lists)
  foreach(_list IN LISTS _lists)
    get_filename_component(_child ${_list} DIRECTORY)
    add_subdirectory(${_child})
  endforeach()
endfunction()
