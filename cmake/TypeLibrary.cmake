# hg_type_library(<prefix> <name> <idl> [PARTS <included idl files>...])
#   Compiles <idl> with widl into the type library <name>.tlb (which the DLL's
#   .rc embeds as TYPELIB resource 1), the C++ header <name>.h and the
#   interface identifiers <name>_i.c, in ${CMAKE_CURRENT_BINARY_DIR}/idl; the
#   target <name>_idl makes them. Sets <prefix>_IDL_OUTPUT_DIR,
#   <prefix>_IDL_IID_SOURCE and <prefix>_TYPELIB in the caller's scope.
find_program(WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
find_path(WINE_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(STDOLE2_DIR stdole2.tlb PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)

function(hg_type_library prefix name idl)
  cmake_parse_arguments(PARSE_ARGV 3 T "" "" "PARTS")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/idl)
  get_filename_component(idl_dir ${idl} DIRECTORY)
  set(widl ${WIDL} -m64 -I ${WINE_IDL_DIR} -I ${idl_dir} -L ${STDOLE2_DIR})
  add_custom_command(
    OUTPUT ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${widl} -t -o ${out}/${name}.tlb ${idl}
    COMMAND ${widl} -h -o ${out}/${name}.h ${idl}
    COMMAND ${widl} -u -o ${out}/${name}_i.c ${idl}
    DEPENDS ${idl} ${T_PARTS}
    COMMENT "Compiling the ${name} type library"
    VERBATIM)
  add_custom_target(${name}_idl DEPENDS ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c)
  set_source_files_properties(${out}/${name}_i.c PROPERTIES GENERATED TRUE LANGUAGE CXX)
  set(${prefix}_IDL_OUTPUT_DIR ${out} PARENT_SCOPE)
  set(${prefix}_IDL_IID_SOURCE ${out}/${name}_i.c PARENT_SCOPE)
  set(${prefix}_TYPELIB ${out}/${name}.tlb PARENT_SCOPE)
endfunction()
