# Runs dasm and insists on an image of exactly 8 192 bytes: dasm may leave a
# partial file behind when it fails.
file(REMOVE ${OUT})
execute_process(COMMAND ${DASM} ${SRC} -f3 -o${OUT} -l${LST} -s${SYM} -I${INCDIR}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "dasm failed (${rc}):\n${out}\n${err}")
endif()
file(SIZE ${OUT} size)
if(NOT size EQUAL 8192)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "the BASIC ROM image is ${size} bytes, not 8192")
endif()
