# The contact sheet of the built-in stages: each stage painted by `zrptool render` as play
# begins, tiled 4 x 4 into one picture, with the solver's figures under each stage (par of its
# shots, window, all-coins par, whether the start angle clears it). Run with -DZRPTOOL=...
# -DSTAGES=... -DPALETTE=... -DOUT=... (the stages_preview target passes them).
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir}/tiles)

# One line per stage: "stage  par  shots  window  all coins  coins  start angle".
execute_process(
  COMMAND ${ZRPTOOL} solve ${STAGES} --table
  OUTPUT_VARIABLE table ERROR_QUIET)
string(REPLACE "\n" ";" table_lines "${table}")
foreach(line IN LISTS table_lines)
  if(line MATCHES "^ *([0-9]+) +([0-9]+) +([0-9]+) +([0-9?]+) +([0-9a-z?]+) +([0-9]+) +([a-z]+)$")
    set(figures_${CMAKE_MATCH_1}
        "par ${CMAKE_MATCH_2} of ${CMAKE_MATCH_3}, window ${CMAKE_MATCH_4}, all coins ${CMAKE_MATCH_5}, start angle ${CMAKE_MATCH_7}")
  elseif(line MATCHES "^ *([0-9]+)  (.*)$")
    set(figures_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endforeach()

set(tiles "")
foreach(n RANGE 1 16)
  set(tile ${out_dir}/tiles/stage${n}.png)
  execute_process(
    COMMAND ${ZRPTOOL} render --palette ${PALETTE} ${STAGES} ${n} ${tile}
    RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "zrptool render failed on stage ${n}")
  endif()
  if(NOT DEFINED figures_${n})
    set(figures_${n} "no figures")
  endif()
  message(STATUS "Stage ${n}: ${figures_${n}}")
  list(APPEND tiles -label "Stage ${n}: ${figures_${n}}" ${tile})
endforeach()
find_program(MONTAGE montage REQUIRED)
execute_process(
  COMMAND ${MONTAGE} ${tiles} -tile 4x4 -geometry 320x240+6+6 -background "#202020"
          -fill white -pointsize 12 ${OUT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "montage could not tile the stages")
endif()
message(STATUS "Contact sheet: ${OUT}")
