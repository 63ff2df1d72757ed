# The contact sheet of the built-in stages: each stage painted by `zrptool render` as play
# begins, tiled 4 x 4 into one picture. Run with -DZRPTOOL=... -DSTAGES=... -DPALETTE=...
# -DOUT=... (the stages_preview target passes them).
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir}/tiles)
set(tiles "")
foreach(n RANGE 1 16)
  set(tile ${out_dir}/tiles/stage${n}.png)
  execute_process(
    COMMAND ${ZRPTOOL} render --palette ${PALETTE} ${STAGES} ${n} ${tile}
    RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "zrptool render failed on stage ${n}")
  endif()
  list(APPEND tiles -label "Stage ${n}" ${tile})
endforeach()
find_program(MONTAGE montage REQUIRED)
execute_process(
  COMMAND ${MONTAGE} ${tiles} -tile 4x4 -geometry 320x240+6+6 -background "#202020"
          -fill white -pointsize 14 ${OUT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "montage could not tile the stages")
endif()
message(STATUS "Contact sheet: ${OUT}")
