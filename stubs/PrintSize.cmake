# Prints a stub's size; the stubs are meant to stay under 64 KB.
file(SIZE ${FILE} size)
get_filename_component(name ${FILE} NAME)
math(EXPR kb "(${size} + 1023) / 1024")
if(size GREATER 65536)
  message(WARNING "${name}: ${size} bytes (${kb} KB), over the 64 KB the stubs aim at")
else()
  message(STATUS "${name}: ${size} bytes (${kb} KB)")
endif()
