# A library's headers are named by its folder ("runtime/failure.h"). Its users reach them
# through an include folder of the library's own that links to that one folder alone, not
# through the source root, where every layer's headers (and the tests') lie side by side:
# a header of a library not linked is not found.
function(vuelco_export_headers target)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
