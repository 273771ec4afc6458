# Run by cpack after it has made the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack gives a package whose shared objects lie below /usr/lib maintainer
# scripts that run ldconfig. Ours are plug-ins in the private program folder
# /usr/lib/parcelon, which the dynamic loader's cache never lists, so those
# scripts are dropped and each package is put together again without them.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  set(changed FALSE)
  foreach(script postinst postrm)
    set(path "${tree}/DEBIAN/${script}")
    if(EXISTS "${path}")
      file(READ "${path}" text)
      # Nothing but the shell line, `set -e`, the ldconfig call and its guard.
      string(REGEX REPLACE "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|ldconfig|fi|[ \t\r\n]" "" rest "${text}")
      if(rest STREQUAL "")
        file(REMOVE "${path}")
        set(changed TRUE)
      endif()
    endif()
  endforeach()
  if(changed)
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${tree}" "${deb}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
