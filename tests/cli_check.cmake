# skintool check, --import-dir, convert --out NAME.zip and render --all, end to end.
#   cmake -DSKINTOOL=... -DWORK=... -DDATA=... -P cli_check.cmake
include(${CMAKE_CURRENT_LIST_DIR}/cli_helpers.cmake)

function(expect_text text pattern)
  string(FIND "${text}" "${pattern}" at)
  if(at LESS 0)
    message(FATAL_ERROR "expected '${pattern}' in:\n${text}")
  endif()
endfunction()

# The default skin and its conversion give no problem and print nothing.
run(0 ${SKINTOOL} check)
if(NOT last_out STREQUAL "" OR NOT last_err STREQUAL "")
  message(FATAL_ERROR "check of the default skin printed:\n${last_out}${last_err}")
endif()
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${SKINTOOL} convert --out ${WORK}/skin)
run(0 ${SKINTOOL} check --skin ${WORK}/skin)
run(0 ${SKINTOOL} check --json)
if(NOT last_out STREQUAL "[]\n")
  message(FATAL_ERROR "check --json of the default skin: ${last_out}")
endif()

# An import that fails leaves the picture as it was, and the problem says so;
# a picture that cannot be opened with its skin is empty, and that says so.
file(WRITE ${WORK}/notes.txt "not a picture\n")
run(1 ${SKINTOOL} check --import upper_screen=${WORK}/notes.txt)
if(NOT last_out STREQUAL "error unreadable-picture upper_screen: ${WORK}/notes.txt cannot be read as a BMP, PNG or JPEG picture; it was not imported, and the picture keeps what it held before\n")
  message(FATAL_ERROR "a failed import: ${last_out}")
endif()
file(COPY ${WORK}/skin/ DESTINATION ${WORK}/junk_lamp)
file(WRITE ${WORK}/junk_lamp/lamp.bmp "not a picture\n")
run(1 ${SKINTOOL} check --skin ${WORK}/junk_lamp)
expect_text("${last_out}" "error unreadable-picture lamp: ${WORK}/junk_lamp/lamp.bmp cannot be read as a BMP, PNG or JPEG picture; the picture is empty\n")

# A broken skin: one line a problem, opening messages become problems.
file(COPY ${WORK}/skin/ DESTINATION ${WORK}/broken)
file(READ ${WORK}/broken/uisettings.ini settings)
string(REPLACE "formFrameColor=" "formFrameColr=" settings "${settings}")
file(WRITE ${WORK}/broken/uisettings.ini "${settings}")
file(REMOVE ${WORK}/broken/lamp.bmp)
run(1 ${SKINTOOL} check --skin ${WORK}/broken)
expect_text("${last_out}" "error missing-picture lamp: ${WORK}/broken/lamp.bmp is missing")
expect_text("${last_out}" "warning settings-unknown-key [global settings] formFrameColr: line 9:")
if(NOT last_err STREQUAL "")
  message(FATAL_ERROR "opening messages were printed as well:\n${last_err}")
endif()
run(1 ${SKINTOOL} check --skin ${WORK}/broken --json)
string(JSON count LENGTH "${last_out}")
string(JSON code GET "${last_out}" 1 code)
string(JSON line GET "${last_out}" 1 line)
string(JSON severity GET "${last_out}" 0 severity)
if(NOT count EQUAL 2 OR NOT code STREQUAL "settings-unknown-key" OR NOT line EQUAL 9 OR NOT severity STREQUAL "error")
  message(FATAL_ERROR "unexpected JSON:\n${last_out}")
endif()
# A low contrast is said on the preview screen the user sees numbered (4),
# while --json gives the index that --screen takes (3).
file(COPY ${WORK}/skin/ DESTINATION ${WORK}/dim)
file(READ ${WORK}/dim/uisettings.ini settings)
string(REPLACE "formTextColor=0x3b1f" "formTextColor=0x0c63" settings "${settings}")
file(WRITE ${WORK}/dim/uisettings.ini "${settings}")
run(1 ${SKINTOOL} check --skin ${WORK}/dim)
expect_text("${last_out}" "warning low-contrast [global settings] formTextColor: hard to read on preview screen 4:")
run(1 ${SKINTOOL} check --skin ${WORK}/dim --json)
string(JSON screen GET "${last_out}" 0 screen)
if(NOT screen EQUAL 3)
  message(FATAL_ERROR "check --json screen: ${screen}")
endif()
run(2 ${SKINTOOL} check --skin ${WORK}/no-such-skin)
run(2 ${SKINTOOL} check --import-dir ${WORK}/no-such-folder)
run(2 ${SKINTOOL} check --out ${WORK}/x)

# --import-dir takes pictures by name; a later --import wins for its picture.
file(MAKE_DIRECTORY ${WORK}/drawings/icon)
file(COPY_FILE ${DATA}/images/card_rgb8.png ${WORK}/drawings/StartBar.PNG)
file(COPY_FILE ${DATA}/images/card_rgb8.png ${WORK}/drawings/icon/nds.png)
file(COPY_FILE ${DATA}/images/card_rgb8.png ${WORK}/drawings/lamp.png)
run(0 ${SKINTOOL} convert --import-dir ${WORK}/drawings --import lamp=${WORK}/skin/active.bmp --out ${WORK}/imported)
foreach(picture startbar.bmp icon/nds.bmp)
  file(SIZE ${WORK}/imported/${picture} size)
  if(NOT size EQUAL 80)  # 4 x 3: rows of 8 bytes
    message(FATAL_ERROR "${picture} is ${size} bytes, not the imported 4 x 3 picture")
  endif()
endforeach()
expect_same_files(${WORK}/skin/active.bmp ${WORK}/imported/lamp.bmp "--import given after --import-dir did not win")

# convert --out NAME.zip: the same bytes twice, and it opens to the same skin.
file(MAKE_DIRECTORY ${WORK}/a ${WORK}/b)
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${SKINTOOL} convert --out ${WORK}/a/Share.zip)
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${SKINTOOL} convert --skin ${WORK}/skin --out ${WORK}/b/Share.zip)
expect_same_files(${WORK}/a/Share.zip ${WORK}/b/Share.zip "two exports of one skin differ")
run(0 ${SKINTOOL} check --skin ${WORK}/a/Share.zip)
run(0 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${SKINTOOL} convert --skin ${WORK}/a/Share.zip --out ${WORK}/unzipped)
foreach(f uisettings.ini startbar.bmp icon/txt.bmp)
  expect_same_files(${WORK}/skin/${f} ${WORK}/unzipped/${f} "${f} changed on the way through the archive")
endforeach()

# render --all: fourteen cells of 266 x 490, seven to a row.
run(0 ${SKINTOOL} render --all --zoom 1 --out ${WORK}/sheet.png)
file(READ ${WORK}/sheet.png header OFFSET 16 LIMIT 8 HEX)
if(NOT header STREQUAL "00000746000003d4")  # 1862 x 980
  message(FATAL_ERROR "contact sheet size: ${header}")
endif()
run(2 ${SKINTOOL} render --all --screen 3 --out ${WORK}/sheet.png)
run(2 ${SKINTOOL} render --all --zoom 5 --out ${WORK}/sheet.png)

# render --filter keeps the sheet's size and refuses "none" and unknown
# names; screenshot --screen stays within the fourteen screens. (What they
# draw is compared pixel by pixel in skintool_output_test.cpp.)
run(0 ${SKINTOOL} render --all --filter console --out ${WORK}/sheet.png)
file(READ ${WORK}/sheet.png header OFFSET 16 LIMIT 8 HEX)
if(NOT header STREQUAL "00000746000003d4")
  message(FATAL_ERROR "filtered contact sheet size: ${header}")
endif()
foreach(filter none Console "")
  run(2 ${SKINTOOL} render --filter "${filter}" --out ${WORK}/f.png)
endforeach()
run(2 ${SKINTOOL} screenshot --screen 14 --out ${WORK}/shot.bmp)

# Number options take plain decimal digits only; --zoom also a decimal point.
# Below 1 the preview would shrink: a usage error, not zoom 1.
foreach(zoom "0x10" "1e1" " 2" "2 " "-1" "+2" "" "1..5" "." "0" "16.5" "inf" ".5" "0.99")
  run(2 ${SKINTOOL} render --zoom "${zoom}" --out ${WORK}/z.png)
endforeach()
foreach(zoom "2" "1.5" "1" "3." "16")
  run(0 ${SKINTOOL} render --zoom "${zoom}" --out ${WORK}/z.png)
endforeach()
# An option of one value given twice is a usage error, as a colour replaced twice is.
foreach(twice "--zoom;2;--zoom;2" "--screen;1;--screen;2" "--filter;console;--filter;console" "--fit;keep;--fit;cover"
              "--recolour;10;--recolour;10" "--background;0;--background;1" "--out;${WORK}/a.png")
  run(2 ${SKINTOOL} render ${twice} --out ${WORK}/z.png)
endforeach()
run(2 ${SKINTOOL} convert --recolour 10 --recolour 20 --out ${WORK}/twice)

# A skin whose folder name holds a line break and an escape sequence: every
# line printed is one problem, and no escape character reaches the output.
string(ASCII 27 esc)
set(evil "${WORK}/evil/My\nerror missing-settings ${esc}[31mSkin")
file(MAKE_DIRECTORY "${evil}")
file(COPY_FILE ${WORK}/skin/uisettings.ini "${evil}/uisettings.ini")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${WORK}/evil.zip --format=zip "My\nerror missing-settings ${esc}[31mSkin"
                WORKING_DIRECTORY ${WORK}/evil RESULT_VARIABLE zipped)
foreach(command "check;--skin;${WORK}/evil.zip" "convert;--skin;${WORK}/evil.zip;--out;${WORK}/evil-out")
  run(1 ${SKINTOOL} ${command})
  string(FIND "${last_out}${last_err}" "${esc}" raw)
  if(NOT zipped EQUAL 0 OR NOT raw EQUAL -1)
    message(FATAL_ERROR "an escape character was printed:\n${last_out}${last_err}")
  endif()
endforeach()
run(1 ${SKINTOOL} check --skin ${WORK}/evil.zip)
string(REGEX REPLACE "\n$" "" lines "${last_out}")
string(REPLACE "\n" ";" lines "${lines}")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^(error|warning) [a-z0-9-]+ ")
    message(FATAL_ERROR "a line that is no problem of its own: '${line}'")
  endif()
endforeach()

# The archive's folder is named after it, and no entry climbs out of it.
file(MAKE_DIRECTORY ${WORK}/sub)
run(0 ${SKINTOOL} convert --out ${WORK}/sub/../...zip)
file(STRINGS ${WORK}/...zip climbing REGEX "\\.\\./")
if(climbing)
  message(FATAL_ERROR "entry names holding '../': ${climbing}")
endif()
run(0 ${SKINTOOL} check --skin ${WORK}/...zip)
file(REMOVE_RECURSE ${WORK})
