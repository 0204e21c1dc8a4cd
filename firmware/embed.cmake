# Turns rom.bin and the text-art font into firmware_data.cpp.
# Font format: 64 glyphs in MC6847 code order, each a header line "= <name>"
# followed by 12 rows of 8 characters, '#' for a lit pixel and '.' for dark.
file(READ ${ROM} rom HEX)
string(LENGTH "${rom}" romlen)
if(NOT romlen EQUAL 16384)
  message(FATAL_ERROR "rom.bin must be 8192 bytes")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," rombytes "${rom}")

file(STRINGS ${FONT} lines REGEX "^[.#]+$")
set(fontbytes "")
set(rows 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[.#]+$")
    string(LENGTH "${line}" n)
    if(NOT n EQUAL 8)
      message(FATAL_ERROR "font row '${line}' is not 8 pixels wide")
    endif()
    set(v 0)
    foreach(i RANGE 0 7)
      string(SUBSTRING "${line}" ${i} 1 ch)
      math(EXPR v "${v} * 2")
      if(ch STREQUAL "#")
        math(EXPR v "${v} + 1")
      endif()
    endforeach()
    string(APPEND fontbytes "${v},")
    math(EXPR rows "${rows} + 1")
  endif()
endforeach()
if(NOT rows EQUAL 768)
  message(FATAL_ERROR "the font has ${rows} pixel rows, not 768 (64 glyphs of 12)")
endif()

file(WRITE ${OUT} "// Generated from rom.asm and font.txt; do not edit.\n#include \"firmware.h\"\n"
  "namespace firmware {\nconst unsigned char basicRom[8192] = {${rombytes}};\n"
  "const unsigned char charRom[768] = {${fontbytes}};\n}\n")
