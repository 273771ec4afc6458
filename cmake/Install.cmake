# Installation: one program folder of its own, <prefix>/lib/parcelon, where the
# programs find each other exactly as they do in the build tree's bin/, plus
# launchers in <prefix>/bin and the desktop's files under <prefix>/share.

include(GNUInstallDirs)
set(PCN_INSTALL_PROGRAM_DIR lib/parcelon)

# What a user runs or what the programs load from their folder. Pieces that a
# configuration does not build (no GUI, no mingw-w64) are skipped.
set(PCN_INSTALLED_PROGRAMS pcn parcelon SignCode ChkTrust LDSCE)
set(PCN_INSTALLED_LIBRARIES PcnFtp LDSCNT LDSC95)
set(PCN_INSTALLED_STUBS Extract.Exe PilotStub.Exe TinySetup.Exe)

foreach(target ${PCN_INSTALLED_PROGRAMS})
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${PCN_INSTALL_PROGRAM_DIR})
  endif()
endforeach()
foreach(target ${PCN_INSTALLED_LIBRARIES})
  if(TARGET ${target})
    install(TARGETS ${target} LIBRARY DESTINATION ${PCN_INSTALL_PROGRAM_DIR}
                              RUNTIME DESTINATION ${PCN_INSTALL_PROGRAM_DIR})
  endif()
endforeach()
foreach(stub ${PCN_INSTALLED_STUBS})
  install(FILES ${PCN_PROGRAM_DIR}/${stub} DESTINATION ${PCN_INSTALL_PROGRAM_DIR} OPTIONAL)
endforeach()
install(DIRECTORY ${PCN_PROGRAM_DIR}/Help DESTINATION ${PCN_INSTALL_PROGRAM_DIR} OPTIONAL)

# The marker tells the programs that they run from an installed copy: user
# files then go under $XDG_DATA_HOME, never into the prefix.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/INSTALLED DESTINATION ${PCN_INSTALL_PROGRAM_DIR})

# Launchers: links into the program folder, so that /proc/self/exe (and with
# it the program folder) is the installed copy's.
foreach(program pcn parcelon)
  if(TARGET ${program})
    install(CODE "
      set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(MAKE_DIRECTORY \"\${bindir}\")
      file(CREATE_LINK \"../${PCN_INSTALL_PROGRAM_DIR}/${program}\" \"\${bindir}/${program}\" SYMBOLIC)
      message(STATUS \"Installing: \${bindir}/${program} -> ../${PCN_INSTALL_PROGRAM_DIR}/${program}\")")
  endif()
endforeach()

# The desktop: launcher entry, file types, icons, man pages.
set(desktop ${CMAKE_SOURCE_DIR}/packaging/desktop)
if(TARGET pcn)
  install(FILES ${desktop}/parcelon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()
install(FILES ${desktop}/parcelon.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${desktop}/icons/parcelon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${desktop}/icons/application-x-parcelon-project.svg ${desktop}/icons/application-x-parcelon-package.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
