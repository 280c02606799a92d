# tessary_embed(TARGET target TYPE "TECHFILE" ID 101 FILE path)
# Compiles a file into the module as a resource found by (type, id), the way a
# Windows module carries its custom resources. The generated source registers
# the bytes with the resource table at static-initialisation time.
function(tessary_embed)
  cmake_parse_arguments(EMB "" "TARGET;TYPE;ID;FILE" "" ${ARGN})
  string(MAKE_C_IDENTIFIER "${EMB_TYPE}_${EMB_ID}" ident)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded_${ident}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DIN=${EMB_FILE} -DOUT=${out} -DTYPE=${EMB_TYPE} -DID=${EMB_ID}
            -DIDENT=${ident} -P ${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake
    DEPENDS "${EMB_FILE}" ${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake
    COMMENT "Embedding ${EMB_TYPE} ${EMB_ID}"
    VERBATIM)
  target_sources(${EMB_TARGET} PRIVATE "${out}")
endfunction()
