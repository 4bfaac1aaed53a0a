# skintool end to end: convert the default skin, convert the result again, and
# compare; then the exit codes of a message and of a usage error.
#   cmake -DSKINTOOL=... -DWORK=... -DDATA=... -P cli_roundtrip.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run expected_rc)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_VARIABLE out)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "${ARGN}\nexit ${rc}, expected ${expected_rc}\n${err}")
  endif()
  set(last_err "${err}" PARENT_SCOPE)
  set(last_out "${out}" PARENT_SCOPE)
endfunction()

run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${SKINTOOL} convert --out ${WORK}/A)
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=86400 ${SKINTOOL} convert --skin ${WORK}/A --out ${WORK}/B)

file(GLOB_RECURSE pictures RELATIVE ${WORK}/A ${WORK}/A/*.bmp)
list(LENGTH pictures count)
if(NOT count EQUAL 53)
  message(FATAL_ERROR "expected 53 pictures, found ${count}")
endif()
foreach(p IN LISTS pictures)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/A/${p} ${WORK}/B/${p} RESULT_VARIABLE diff)
  if(diff)
    message(FATAL_ERROR "${p} differs after a second conversion")
  endif()
endforeach()
file(READ ${WORK}/A/uisettings.ini a)
file(READ ${WORK}/B/uisettings.ini b)
string(FIND "${a}" "LastUpdate=1970/01/01-00:00:00" at_a)
string(FIND "${b}" "LastUpdate=1970/01/02-00:00:00" at_b)
if(at_a LESS 0 OR at_b LESS 0)
  message(FATAL_ERROR "LastUpdate is not the SOURCE_DATE_EPOCH stamp")
endif()
string(REPLACE "1970/01/02-00:00:00" "1970/01/01-00:00:00" b "${b}")
if(NOT a STREQUAL b)
  message(FATAL_ERROR "uisettings.ini differs in more than LastUpdate")
endif()

# An import, and an archive on top of the folder.
run(0 ${SKINTOOL} convert --skin ${WORK}/A --import startbar=${DATA}/images/card_rgb8.png --out ${WORK}/C)
file(SIZE ${WORK}/C/startbar.bmp size)
if(NOT size EQUAL 80)  # 4 x 3: rows of 8 bytes
  message(FATAL_ERROR "imported startbar.bmp is ${size} bytes")
endif()

# A missing picture is a message on stderr and exit status 1.
run(1 ${SKINTOOL} convert --import lamp=${WORK}/nothing.bmp --out ${WORK}/D)
if(NOT last_err STREQUAL "${WORK}/nothing.bmp : File not found\n")
  message(FATAL_ERROR "unexpected message: ${last_err}")
endif()
run(1 ${SKINTOOL} convert --skin ${DATA}/archives/python_top.zip --out ${WORK}/E)

# Usage errors.
run(2 ${SKINTOOL} convert)
run(2 ${SKINTOOL} convert --import nosuchpicture=x --out ${WORK}/F)
run(2 ${SKINTOOL} frobnicate --out ${WORK}/F)
run(0 ${SKINTOOL} --help)
file(REMOVE_RECURSE ${WORK})
