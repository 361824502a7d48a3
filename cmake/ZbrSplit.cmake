# zbr_split_sources(<folder> <window-units-var> <out-plain> <out-windows>)
# Splits the .cpp files of a folder into plain code and window units (those
# whose base name is listed), so that plain code never depends on the
# window framework.
function(zbr_split_sources folder window_units out_plain out_windows)
  file(GLOB all CONFIGURE_DEPENDS ${folder}/*.cpp)
  set(plain)
  set(windows)
  foreach(f ${all})
    get_filename_component(base ${f} NAME_WE)
    if(base IN_LIST ${window_units})
      list(APPEND windows ${f})
    else()
      list(APPEND plain ${f})
    endif()
  endforeach()
  set(${out_plain} ${plain} PARENT_SCOPE)
  set(${out_windows} ${windows} PARENT_SCOPE)
endfunction()
