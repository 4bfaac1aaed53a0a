# Turns data files into a C++ source that holds their bytes, so that the
# built-in pictures and the font travel inside the program.
#
#   embed_files(OUTPUT out.cpp BASE dir FILES a.png icon/b.png ...)
#
# The generated source defines EmbeddedFiles() (see assets/embedded.h); each
# entry is named by its path relative to BASE.
function(embed_files)
  cmake_parse_arguments(EMB "" "OUTPUT;BASE" "FILES" ${ARGN})
  set(inputs)
  foreach(f IN LISTS EMB_FILES)
    list(APPEND inputs "${EMB_BASE}/${f}")
  endforeach()
  add_custom_command(
    OUTPUT "${EMB_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${EMB_OUTPUT} -DBASE=${EMB_BASE}
            "-DFILES=${EMB_FILES}" -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    DEPENDS ${inputs} ${CMAKE_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    COMMENT "Embedding ${EMB_OUTPUT}"
    VERBATIM)
endfunction()
