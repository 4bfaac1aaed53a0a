# The layer check finds every kind of fault in a tree made to hold them, each
# named by its file, line and include, and nothing in a tree that keeps the
# layers. Run by ctest: cmake -DCHECK=<layer_check> -DDATA=<tests/data/layers> -P layer_check.cmake
execute_process(COMMAND ${CHECK} ${DATA}/faulty OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "the check of a faulty tree ended with ${rc}, not 1:\n${out}")
endif()
set(expected
  "skin/colour_names.h:3: includes \"images/picture_file.h\": images/ is a layer above skin/"
  "platform/posix/files.cpp:2: includes \"preview/canvas.h\": preview/ is a layer above platform/"
  "preview/canvas.h:2: includes \"check/report.h\": check/ is a layer above preview/"
  "platform/posix/files.cpp:1: includes \"platform/native/codec.h\": platform/native/ is one implementation of the platform's headers; platform/posix/ is another"
  "images/picture_file.cpp:6: includes \"platform/native/codec.h\": platform/native/ is one implementation"
  "images/picture_file.cpp:3: includes <png.h>: the codec and archive libraries are called only in platform/native/"
  "images/picture_file.cpp:4: includes <unistd.h>: the system's file calls are made only in platform/"
  "images/picture_file.h:3: includes \"app/window.h\": app/ is no layer of the core"
  "check/local.cpp:1: includes \"local.h\": a header is included by its path from the project's root"
  "edit/document.cpp:1: includes <QString>: Qt has no place in the core"
  "modules include each other in a circle: preview/canvas -> preview/trace -> preview/canvas"
  "modules include each other in a circle: app/a -> app/b -> app/a"
  "modules include each other in a circle: images/picture_file -> skin/colour_names -> images/picture_file"
  "13 faults in the layers")
foreach(line IN LISTS expected)
  string(FIND "${out}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check of a faulty tree did not say\n  ${line}\nbut:\n${out}")
  endif()
endforeach()

# Includes downward, the platform's implementations including its headers
# and the libraries, the faces including anything: no fault.
execute_process(COMMAND ${CHECK} ${DATA}/sound OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the check of a sound tree ended with ${rc}:\n${out}")
endif()
