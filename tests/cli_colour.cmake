# skintool --fit, --replace-colour, --recolour and palette, end to end.
#   cmake -DSKINTOOL=... -DWORK=... -DDATA=... -P cli_colour.cmake
include(${CMAKE_CURRENT_LIST_DIR}/cli_helpers.cmake)

function(expect_equal got expected why)
  if(NOT "${got}" STREQUAL "${expected}")
    message(FATAL_ERROR "${why}: got '${got}', expected '${expected}'")
  endif()
endfunction()

# The width and height a saved BMP's header gives, as "W x H".
function(bmp_size path out)
  file(READ ${path} header OFFSET 18 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 w)
  string(SUBSTRING "${header}" 8 8 h)
  foreach(v w h)
    # Little-endian bytes: the low two come first; the pictures are small.
    string(SUBSTRING "${${v}}" 0 2 lo)
    string(SUBSTRING "${${v}}" 2 2 hi)
    math(EXPR ${v} "0x${hi}${lo}")
  endforeach()
  set(${out} "${w} x ${h}" PARENT_SCOPE)
endfunction()

# --fit: a 4 x 3 card kept as it is, or fitted to the 256 x 192 background
# and the 22 x 38 lamp, by --import and by --import-dir alike.
set(card ${DATA}/images/card_rgb8.png)
file(MAKE_DIRECTORY ${WORK}/drawings)
file(COPY_FILE ${card} ${WORK}/drawings/lamp.png)
foreach(mode keep cover stretch)
  run(0 ${SKINTOOL} convert --import upper_screen=${card} --import-dir ${WORK}/drawings --fit ${mode}
      --out ${WORK}/${mode})
  expect_equal("${last_err}" "" "convert --fit ${mode} said something")
  bmp_size(${WORK}/${mode}/upper_screen.bmp upper)
  bmp_size(${WORK}/${mode}/lamp.bmp lamp)
  if(mode STREQUAL "keep")
    expect_equal("${upper}, ${lamp}" "4 x 3, 4 x 3" "--fit keep")
  else()
    expect_equal("${upper}, ${lamp}" "256 x 192, 22 x 38" "--fit ${mode}")
  endif()
endforeach()
run(0 ${SKINTOOL} convert --import upper_screen=${card} --out ${WORK}/default)
expect_same_files(${WORK}/keep/upper_screen.bmp ${WORK}/default/upper_screen.bmp "--fit keep is not the default")
run(2 ${SKINTOOL} convert --fit crop --out ${WORK}/x)
run(2 ${SKINTOOL} convert --fit --out ${WORK}/x)

# Half-transparent pixels are noted, and a note is no message: exit 0.
run(0 ${SKINTOOL} convert --import lamp=${DATA}/images/alpha_rgba.png --out ${WORK}/alpha)
expect_equal("${last_err}"
             "skintool: note: ${DATA}/images/alpha_rgba.png: 2 pixels are half transparent: 1 of them were kept opaque, 1 became the key green\n"
             "the half-transparency note")

# palette: one line a colour, "0xbbbb COUNT", most used first, the key marked.
run(0 ${SKINTOOL} palette)
set(text "${last_out}")
string(REGEX MATCHALL "[^\n]+" lines "${text}")
list(LENGTH lines colours)
set(previous "")
set(key_lines 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^0x[0-9a-f][0-9a-f][0-9a-f][0-9a-f] [0-9]+( key)?$")
    message(FATAL_ERROR "palette line '${line}'")
  endif()
  string(REGEX REPLACE "^[^ ]+ ([0-9]+).*" "\\1" count "${line}")
  if(previous AND count GREATER previous)
    message(FATAL_ERROR "palette not sorted by count at '${line}'")
  endif()
  set(previous ${count})
  if(line MATCHES " key$")
    math(EXPR key_lines "${key_lines} + 1")
    if(NOT line MATCHES "^0x03e0 ")
      message(FATAL_ERROR "a key line that is not key green: '${line}'")
    endif()
  endif()
endforeach()
expect_equal("${key_lines}" "1" "lines of the key colour")

# --json: strictly valid, the same colours in the same order; each count is
# its fields plus its pictures' pixels (looked at in the first entries:
# CMake parses the whole text for each look); 41 fields in all.
run(0 ${SKINTOOL} palette --json)
set(json "${last_out}")
string(JSON entries LENGTH "${json}")
expect_equal("${entries}" "${colours}" "palette --json entries")
foreach(i RANGE 11)
  list(GET lines ${i} line)
  string(JSON colour GET "${json}" ${i} colour)
  string(JSON count GET "${json}" ${i} count)
  string(REGEX REPLACE " key$" "" plain "${line}")
  expect_equal("${colour} ${count}" "${plain}" "entry ${i} of --json")
  string(JSON own LENGTH "${json}" ${i} fields)
  string(JSON pictures LENGTH "${json}" ${i} pictures)
  if(pictures GREATER 0)
    math(EXPR p_last "${pictures} - 1")
    foreach(p RANGE ${p_last})
      string(JSON name MEMBER "${json}" ${i} pictures ${p})
      string(JSON n GET "${json}" ${i} pictures ${name})
      math(EXPR own "${own} + ${n}")
    endforeach()
  endif()
  expect_equal("${own}" "${count}" "fields and pixels of ${colour}")
endforeach()
string(REGEX MATCHALL "\"\\[[a-zA-Z ]+\\] [a-zA-Z0-9]+\"" fields "${json}")
list(LENGTH fields all_fields)
expect_equal("${all_fields}" "41" "colour fields in the palette")

# The colour of [main list] selectionBarColor1 (0x5c00 by default, the blue
# 0, 0, 23 in 5-bit channels), from its object's line.
function(field_colour json out)
  if(NOT json MATCHES "\"colour\": \"(0x[0-9a-f]+)\"[^\n]*\"\\[main list\\] selectionBarColor1\"")
    message(FATAL_ERROR "no colour holds [main list] selectionBarColor1")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
field_colour("${json}" bar)
expect_equal("${bar}" "0x5c00" "the default selection bar")
# A hue of 240 turned by 120 is red at the same lightness: 23, 0, 0.
run(0 ${SKINTOOL} palette --json --recolour 120)
field_colour("${last_out}" bar)
expect_equal("${bar}" "0x0017" "--recolour 120")
# Replacing comes first: full blue turned by 120 is full red.
run(0 ${SKINTOOL} palette --json --replace-colour 0x5c00=0x7c00 --recolour 120,0,0)
field_colour("${last_out}" bar)
expect_equal("${bar}" "0x001f" "--replace-colour before --recolour")
run(0 ${SKINTOOL} palette --recolour 0,0,0)
expect_equal("${last_out}" "${text}" "--recolour 0,0,0 changed the palette")

# --replace-colour applies all at once: the two most used colours swap
# their counts.
list(GET lines 0 first)
list(GET lines 1 second)
string(REPLACE " " ";" first "${first}")
string(REPLACE " " ";" second "${second}")
list(GET first 0 a)
list(GET first 1 a_count)
list(GET second 0 b)
list(GET second 1 b_count)
run(0 ${SKINTOOL} palette --replace-colour ${a}=${b} --replace-colour ${b}=${a})
string(REGEX MATCHALL "[^\n]+" swapped "${last_out}")
list(GET swapped 0 first)
list(GET swapped 1 second)
expect_equal("${first}; ${second}" "${b} ${a_count}; ${a} ${b_count}" "a swap of the two most used colours")

# The colour work reaches every command that builds a skin.
run(0 ${SKINTOOL} convert --replace-colour ${a}=${b} --out ${WORK}/replaced)
run(0 ${SKINTOOL} palette --skin ${WORK}/replaced)
string(FIND "${last_out}" "${a} " gone)
expect_equal("${gone}" "-1" "convert --replace-colour left ${a} in the skin")
run(1 ${SKINTOOL} check --import startbar=${card} --fit stretch --replace-colour ${a}=0x03e0)
string(FIND "${last_out}" "warning key-in-opaque upper_screen: upper_screen shows" warned)
if(warned LESS 0)
  message(FATAL_ERROR "no key-in-opaque warning after making ${a} key green:\n${last_out}")
endif()
run(0 ${SKINTOOL} render --recolour -30,10,5 --out ${WORK}/recoloured.png)
run(0 ${SKINTOOL} inspect --recolour 5 --at 10,10)
run(0 ${SKINTOOL} screenshot --replace-colour 0x1=0x2 --out ${WORK}/shot.png)

# Usage errors: 2, and nothing done.
foreach(bad "--replace-colour;0x8000=0x1" "--replace-colour;0x1=0x12345" "--replace-colour;1=2"
            "--replace-colour;0X1=0x2" "--replace-colour;0x=0x1" "--replace-colour;0x1" "--replace-colour;0x1=0x1g"
            "--replace-colour;0x1=0x2;--replace-colour;0x1=0x3" "--recolour;181" "--recolour;-181"
            "--recolour;0,101" "--recolour;0,0,-101" "--recolour;+5" "--recolour;1,2,3,4" "--recolour;1,"
            "--recolour;1.5" "--recolour;" "--recolour;--5" "--json;--out;${WORK}/x" "--at;1,1")
  run(2 ${SKINTOOL} palette ${bad})
endforeach()
run(1 ${SKINTOOL} palette --skin ${WORK}/no-such-skin)
run(0 ${SKINTOOL} help palette)
string(FIND "${last_out}" "skintool palette --skin myskin" example)
if(example LESS 0)
  message(FATAL_ERROR "skintool help palette shows no example")
endif()
file(REMOVE_RECURSE ${WORK})
