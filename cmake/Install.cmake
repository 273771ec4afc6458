# Installation: one program folder of its own, <prefix>/lib/parcelon, where the
# programs find each other exactly as they do in the build tree's bin/, plus
# launchers in <prefix>/bin and the desktop's files under <prefix>/share.
#
# Two components, one Debian package each: "cli" (parcelon-cli: the command
# line and everything it starts or loads, no Qt) and "gui" (parcelon: pcn,
# the trust dialog, the help pages and the desktop's files; needs parcelon-cli).

include(GNUInstallDirs)
set(PCN_INSTALL_PROGRAM_DIR lib/parcelon)
# cmake --install --strip and cpack strip as Debian's packaging tools do
# (the install rules take the strip of the folder that defines each target:
# hence the cache).
set(CMAKE_STRIP ${CMAKE_SOURCE_DIR}/packaging/debian/strip CACHE FILEPATH "strip for installs" FORCE)

# What the programs start or load from their folder, by component. Pieces that
# a configuration does not build (no GUI, no mingw-w64) are skipped.
set(PCN_CLI_PROGRAMS parcelon SignCode ChkTrust LDSCE)
set(PCN_CLI_LIBRARIES PcnFtp LDSCNT LDSC95)
set(PCN_GUI_PROGRAMS pcn TrustDialog)
set(PCN_INSTALLED_STUBS Extract.Exe PilotStub.Exe TinySetup.Exe)

foreach(component cli gui)
  string(TOUPPER ${component} upper)
  foreach(target ${PCN_${upper}_PROGRAMS} ${PCN_${upper}_LIBRARIES})
    if(TARGET ${target})
      install(TARGETS ${target} COMPONENT ${component}
              RUNTIME DESTINATION ${PCN_INSTALL_PROGRAM_DIR}
              LIBRARY DESTINATION ${PCN_INSTALL_PROGRAM_DIR})
    endif()
  endforeach()
endforeach()
foreach(stub ${PCN_INSTALLED_STUBS})
  install(FILES ${PCN_PROGRAM_DIR}/${stub} DESTINATION ${PCN_INSTALL_PROGRAM_DIR} COMPONENT cli OPTIONAL)
endforeach()

# The marker tells the programs that they run from an installed copy: user
# files then go under $XDG_DATA_HOME, never into the prefix.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/INSTALLED DESTINATION ${PCN_INSTALL_PROGRAM_DIR} COMPONENT cli)

# Launchers: links into the program folder, so that /proc/self/exe (and with
# it the program folder) is the installed copy's.
foreach(program parcelon pcn)
  if(TARGET ${program})
    set(component cli)
    if(program STREQUAL pcn)
      set(component gui)
    endif()
    install(CODE "
      set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(MAKE_DIRECTORY \"\${bindir}\")
      file(CREATE_LINK \"../${PCN_INSTALL_PROGRAM_DIR}/${program}\" \"\${bindir}/${program}\" SYMBOLIC)
      list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${bindir}/${program}\")
      message(STATUS \"Installing: \${bindir}/${program} -> ../${PCN_INSTALL_PROGRAM_DIR}/${program}\")"
      COMPONENT ${component})
  endif()
endforeach()

# The command line's shell completions and manual pages, made by parcelon
# itself from its command definitions.
set(PCN_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
find_program(GZIP gzip)
add_custom_command(OUTPUT ${PCN_GENERATED_DIR}/parcelon.bash ${PCN_GENERATED_DIR}/_parcelon ${PCN_GENERATED_DIR}/man.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PCN_GENERATED_DIR}/man
  COMMAND parcelon generate bash > ${PCN_GENERATED_DIR}/parcelon.bash
  COMMAND parcelon generate zsh > ${PCN_GENERATED_DIR}/_parcelon
  COMMAND parcelon generate man ${PCN_GENERATED_DIR}/man
  COMMAND ${GZIP} -9nf ${PCN_GENERATED_DIR}/man/*.1
  COMMAND ${CMAKE_COMMAND} -E touch ${PCN_GENERATED_DIR}/man.stamp
  DEPENDS parcelon
  COMMENT "Manual pages and shell completions of parcelon")
add_custom_target(pcn_cli_docs ALL DEPENDS ${PCN_GENERATED_DIR}/man.stamp)
install(FILES ${PCN_GENERATED_DIR}/parcelon.bash RENAME parcelon
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT cli)
install(FILES ${PCN_GENERATED_DIR}/_parcelon DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions COMPONENT cli)
install(DIRECTORY ${PCN_GENERATED_DIR}/man/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli
        FILES_MATCHING PATTERN "*.1.gz")

# Each package's documentation folder: the README, the copyright and the
# changelog that Debian asks for.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/debian/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/debian/changelog)
add_custom_target(pcn_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
foreach(component cli gui)
  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/parcelon)
  if(component STREQUAL cli)
    set(docdir ${CMAKE_INSTALL_DATADIR}/doc/parcelon-cli)
  endif()
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/debian/copyright
                ${CMAKE_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${docdir} COMPONENT ${component})
endforeach()

if(NOT TARGET pcn)
  return()
endif()

# The help pages live with the desktop's other help; the program finds them
# in its folder through a link.
set(PCN_INSTALL_HELP_DIR ${CMAKE_INSTALL_DATADIR}/help/C/parcelon)
install(DIRECTORY ${PCN_PROGRAM_DIR}/Help/ DESTINATION ${PCN_INSTALL_HELP_DIR} COMPONENT gui)
install(CODE "
  file(CREATE_LINK \"../../${PCN_INSTALL_HELP_DIR}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PCN_INSTALL_PROGRAM_DIR}/Help\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PCN_INSTALL_PROGRAM_DIR}/Help\")"
  COMPONENT gui)

# The desktop: launcher entry, file types, software-centre entry, icons.
set(desktop ${CMAKE_SOURCE_DIR}/packaging/desktop)
install(FILES ${desktop}/parcelon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
install(FILES ${desktop}/parcelon.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT gui)
install(FILES ${desktop}/org.tarnwick.parcelon.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT gui)
install(FILES ${desktop}/icons/parcelon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT gui)
install(FILES ${desktop}/icons/application-x-parcelon-project.svg ${desktop}/icons/application-x-parcelon-package.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes COMPONENT gui)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${desktop}/icons/parcelon-${size}.png RENAME parcelon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT gui)
endforeach()

# D-Bus starts `pcn --automation` when a script calls the automation service
# and no Parcelon offers it yet. Exec= names pcn where this install puts it,
# which is known only when it runs (cmake --install --prefix, cpack).
install(CODE "
  get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
  set(service \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/dbus-1/services/org.tarnwick.Parcelon.service\")
  file(WRITE \"\${service}\" \"[D-BUS Service]\\nName=org.tarnwick.Parcelon\\nExec=\${prefix}/${CMAKE_INSTALL_BINDIR}/pcn --automation\\n\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${service}\")
  message(STATUS \"Installing: \${service}\")"
  COMPONENT gui)
