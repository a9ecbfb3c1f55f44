# Builds Quarry's sample image with Quarry's own commands:
#   cmake -DQUARRY=... -DSOURCE=... -DWORK=... -DOUT=... -P MakeSample.cmake
# A long text is written here so that one file needs two directory entries.
set(lines "")
foreach(i RANGE 1 400)
  string(APPEND lines "Line ${i} of the sample log: CP/M counts a file in 128-byte records.\r\n")
endforeach()
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/LOG.TXT" "${lines}")
file(REMOVE "${OUT}")

function(quarry)
  execute_process(COMMAND "${QUARRY}" ${ARGN} RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "quarry ${ARGN} failed (${status})")
  endif()
endfunction()

quarry(new "${OUT}" --format IBM-3740)
quarry(add "${OUT}" "${SOURCE}/README.TXT" "${SOURCE}/HELLO.COM" "${WORK}/LOG.TXT")
quarry(add "${OUT}" "${SOURCE}/NOTES.TXT" "${SOURCE}/SINE.BIN" --user 1)
