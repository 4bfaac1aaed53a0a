# skintool end to end: convert the default skin, convert the result again, and
# compare; then the exit codes of a message and of a usage error.
#   cmake -DSKINTOOL=... -DWORK=... -DDATA=... -P cli_roundtrip.cmake
include(${CMAKE_CURRENT_LIST_DIR}/cli_helpers.cmake)

run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${SKINTOOL} convert --out ${WORK}/A)
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=86400 ${SKINTOOL} convert --skin ${WORK}/A --out ${WORK}/B)

file(GLOB_RECURSE pictures RELATIVE ${WORK}/A ${WORK}/A/*.bmp)
list(LENGTH pictures count)
if(NOT count EQUAL 53)
  message(FATAL_ERROR "expected 53 pictures, found ${count}")
endif()
foreach(p IN LISTS pictures)
  expect_same_files(${WORK}/A/${p} ${WORK}/B/${p} "${p} differs after a second conversion")
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

# A failed import is reported and keeps the picture the skin had.
file(WRITE ${WORK}/junk.png "not a picture")
run(1 ${SKINTOOL} convert --import startbar=${WORK}/junk.png --out ${WORK}/G)
if(NOT last_err STREQUAL "${WORK}/junk.png: Unknown file format\n")
  message(FATAL_ERROR "unexpected message: ${last_err}")
endif()
expect_same_files(${WORK}/A/startbar.bmp ${WORK}/G/startbar.bmp "a failed import did not keep the default startbar picture")

# Saving over a skin keeps its files as they are and changes only their
# bytes: a linked settings file, a private picture, upper-case names.
file(MAKE_DIRECTORY ${WORK}/shared)
file(RENAME ${WORK}/B/uisettings.ini ${WORK}/shared/uisettings.ini)
file(CREATE_LINK ../shared/uisettings.ini ${WORK}/B/uisettings.ini SYMBOLIC)
file(CHMOD ${WORK}/B/active.bmp PERMISSIONS OWNER_READ OWNER_WRITE)
file(RENAME ${WORK}/B/btn.bmp ${WORK}/B/BTN.BMP)
file(RENAME ${WORK}/B/icon ${WORK}/B/ICON)
file(RENAME ${WORK}/B/ICON/nds.bmp ${WORK}/B/ICON/NDS.BMP)
set(card ${DATA}/images/card_rgb8.png)
# The settings file links out of the folder: written through only when asked.
file(READ ${WORK}/shared/uisettings.ini shared_before)
run(1 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=172800 ${SKINTOOL} convert --skin ${WORK}/B
    --import btn=${card} --out ${WORK}/B)
if(NOT last_err STREQUAL "skintool: ${WORK}/B/uisettings.ini: a link to a file outside the folder; nothing was written (--follow-links writes through it)\n")
  message(FATAL_ERROR "a link out of the folder was not named: ${last_err}")
endif()
file(READ ${WORK}/shared/uisettings.ini shared_after)
if(NOT shared_after STREQUAL shared_before)
  message(FATAL_ERROR "the settings file outside the folder was written")
endif()
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=172800 ${SKINTOOL} convert --skin ${WORK}/B
    --import btn=${card} --import active=${card} --import icon/nds=${card} --follow-links --out ${WORK}/B)
if(NOT last_err STREQUAL "")
  message(FATAL_ERROR "saving over the skin said: ${last_err}")
endif()
if(NOT IS_SYMLINK ${WORK}/B/uisettings.ini)
  message(FATAL_ERROR "uisettings.ini is no longer a link")
endif()
file(READ ${WORK}/shared/uisettings.ini shared)
string(FIND "${shared}" "LastUpdate=1970/01/03-00:00:00" at_shared)
if(at_shared LESS 0)
  message(FATAL_ERROR "the linked settings file did not get the new bytes")
endif()
execute_process(COMMAND stat -c %a ${WORK}/B/active.bmp OUTPUT_VARIABLE mode OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT mode STREQUAL "600")
  message(FATAL_ERROR "active.bmp has mode ${mode} after the save")
endif()
foreach(p btn.bmp icon)
  if(EXISTS ${WORK}/B/${p})
    message(FATAL_ERROR "the save made ${p} beside its upper-case name")
  endif()
endforeach()
foreach(p BTN.BMP active.bmp ICON/NDS.BMP)  # the imported card, as in C/startbar.bmp
  expect_same_files(${WORK}/C/startbar.bmp ${WORK}/B/${p} "${p} does not hold the saved picture")
endforeach()

# Usage errors.
run(2 ${SKINTOOL} convert)
run(2 ${SKINTOOL} convert --import nosuchpicture=x --out ${WORK}/F)
run(2 ${SKINTOOL} frobnicate --out ${WORK}/F)
run(0 ${SKINTOOL} --help)
file(REMOVE_RECURSE ${WORK})
