# Compiles tkShared.idl with widl into the type library (embedded in the DLL as
# TYPELIB resource 1), the C++ header and the interface identifiers.
set(TK_IDL ${CMAKE_CURRENT_SOURCE_DIR}/tkShared.idl)
# The subsystems' interface files, included by tkShared.idl.
file(GLOB_RECURSE TK_IDL_PARTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/*.idl)
set(TK_IDL_OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR}/idl)
set(TK_IDL_IID_SOURCE ${TK_IDL_OUTPUT_DIR}/tkShared_i.c)
set(TK_TYPELIB ${TK_IDL_OUTPUT_DIR}/tkShared.tlb)

find_program(WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
find_path(WINE_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(STDOLE2_DIR stdole2.tlb PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)

add_custom_command(
  OUTPUT ${TK_TYPELIB} ${TK_IDL_OUTPUT_DIR}/tkShared.h ${TK_IDL_IID_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TK_IDL_OUTPUT_DIR}
  COMMAND ${WIDL} -m64 -I ${WINE_IDL_DIR} -I ${CMAKE_CURRENT_SOURCE_DIR} -L ${STDOLE2_DIR}
          -t -o ${TK_TYPELIB} ${TK_IDL}
  COMMAND ${WIDL} -m64 -I ${WINE_IDL_DIR} -I ${CMAKE_CURRENT_SOURCE_DIR} -L ${STDOLE2_DIR}
          -h -o ${TK_IDL_OUTPUT_DIR}/tkShared.h ${TK_IDL}
  COMMAND ${WIDL} -m64 -I ${WINE_IDL_DIR} -I ${CMAKE_CURRENT_SOURCE_DIR} -L ${STDOLE2_DIR}
          -u -o ${TK_IDL_IID_SOURCE} ${TK_IDL}
  DEPENDS ${TK_IDL} ${TK_IDL_PARTS}
  COMMENT "Compiling the tkShared type library"
  VERBATIM)
add_custom_target(tkShared_idl DEPENDS ${TK_TYPELIB} ${TK_IDL_OUTPUT_DIR}/tkShared.h ${TK_IDL_IID_SOURCE})
set_source_files_properties(${TK_IDL_IID_SOURCE} PROPERTIES GENERATED TRUE LANGUAGE CXX)
