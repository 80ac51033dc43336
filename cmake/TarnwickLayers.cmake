# tarnwick_layer_root(<folder> <out-var>): an include root that holds only a
# link to <folder> of the sources, so that "<folder>/X.h" is found there and
# the headers of no other folder are. Where links cannot be made (Windows
# without the right to make them) the source root is used: the build still
# works, without the check.
function(tarnwick_layer_root folder out)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} RESULT failed SYMBOLIC)
    if(failed)
      message(STATUS "No include link for ${folder} (${failed}): layer includes are not checked")
      set(root ${CMAKE_SOURCE_DIR})
    endif()
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# tarnwick_layer(<target> <folder> <linked>...): the static library of the
# .cpp files directly in <folder>, seeing only its own headers and those of
# the targets it links.
function(tarnwick_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  tarnwick_layer_root(${folder} root)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARGN})
endfunction()

# tarnwick_layer_probe(<target> <header>): a test that a source of <target>'s
# layer cannot include <header> of a layer above it. The probe is a library
# outside the normal build that links <target> as a source of that folder
# would; the test builds it and expects the compiler to miss the header.
function(tarnwick_layer_probe target header)
  string(MAKE_C_IDENTIFIER "${target}_${header}" name)
  set(source ${CMAKE_BINARY_DIR}/layer-probes/${name}.cpp)
  file(WRITE ${source} "#include \"${header}\"\n")
  add_library(probe_${name} OBJECT EXCLUDE_FROM_ALL ${source})
  target_link_libraries(probe_${name} PRIVATE ${target})
  add_test(NAME LayerRule.${target}.CannotInclude.${header}
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target probe_${name})
  set_tests_properties(LayerRule.${target}.CannotInclude.${header} PROPERTIES
    LABELS core RESOURCE_LOCK build-folder
    PASS_REGULAR_EXPRESSION "${header}: No such file")
endfunction()
