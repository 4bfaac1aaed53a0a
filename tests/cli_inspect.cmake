# skintool inspect end to end: what draws a few points of the default skin's
# preview, an imported picture, a message, and the usage errors.
#   cmake -DSKINTOOL=... -DWORK=... -DDATA=... -P cli_inspect.cmake
include(${CMAKE_CURRENT_LIST_DIR}/cli_helpers.cmake)
file(MAKE_DIRECTORY ${WORK}/pictures)

function(expect_output expected)
  if(NOT last_out STREQUAL expected)
    message(FATAL_ERROR "printed:\n${last_out}\nexpected:\n${expected}")
  endif()
endfunction()

# The F of the file-name title, the start bar, the hinge (nothing), the
# sample game icon (placed by [logo info], no picture of the skin).
run(0 ${SKINTOOL} inspect --at 132,78 --at 105,473 --at 133,250 --at 148,51)
expect_output("132,78 element [file name]
132,78 colour [global settings] gameInfoTitleColor
105,473 element [start bar]
105,473 picture startbar
148,51 element [logo info]
")

# The first-level submenu body of screen 8, placed by the start menu and the
# system settings menu.
run(0 ${SKINTOOL} inspect --screen 8 --at 150,420)
expect_output("150,420 element [start menu]
150,420 element [Syset menu]
150,420 colour [global settings] popSubMenuBodyColor
")

# A 4 x 3 start bar from a folder: its top row shows above the start button,
# and where the old bar was the background shows.
configure_file(${DATA}/images/card_rgb8.png ${WORK}/pictures/startbar.png COPYONLY)
run(0 ${SKINTOOL} inspect --import-dir ${WORK}/pictures --at 5,465 --at 105,473)
expect_output("5,465 element [start bar]
5,465 picture startbar
105,473 picture lower_screen
")

# A message still answers, with exit status 1.
run(1 ${SKINTOOL} inspect --import lamp=${WORK}/nothing.bmp --at 105,473)
expect_output("105,473 element [start bar]
105,473 picture startbar
")

# Usage errors.
run(2 ${SKINTOOL} inspect)
run(2 ${SKINTOOL} inspect --at 266,0)
run(2 ${SKINTOOL} inspect --at 3,490)
run(2 ${SKINTOOL} inspect --at 1.5,2)
run(2 ${SKINTOOL} inspect --at -1,2)
run(2 ${SKINTOOL} inspect --at " 3,4")
run(2 ${SKINTOOL} inspect --at +3,4)
run(2 ${SKINTOOL} inspect --screen 14 --at 3,3)
run(2 ${SKINTOOL} inspect --at 3,3 --out ${WORK}/x.png)

run(0 ${SKINTOOL} --help)
string(FIND "${last_out}" "skintool inspect --skin myskin" example)
if(example LESS 0)
  message(FATAL_ERROR "skintool --help shows no inspect example")
endif()
file(REMOVE_RECURSE ${WORK})
