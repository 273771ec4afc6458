# Manual pages made from the programs' own --help, and the Debian package
# (cpack -G DEB, or `make deb`).

find_program(HELP2MAN help2man)
find_program(GZIP gzip)
set(PCN_MAN_DIR ${CMAKE_BINARY_DIR}/man)
if(HELP2MAN AND GZIP)
  set(pcn_man_parcelon "build Windows deployment packages from the command line")
  set(pcn_man_pcn "build, sign and ship Windows deployment packages")
  set(man_pages "")
  foreach(program parcelon pcn)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(page ${PCN_MAN_DIR}/${program}.1.gz)
    # pcn answers --help without a display, settings or lock of the user's.
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PCN_MAN_DIR}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen PCN_SETTINGS=${PCN_MAN_DIR}/settings.conf
              ${HELP2MAN} --no-info --section=1 --name=${pcn_man_${program}}
              "--version-string=${program} ${PROJECT_VERSION}"
              --output=${PCN_MAN_DIR}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${PCN_MAN_DIR}/${program}.1
      DEPENDS ${program}
      COMMENT "Manual page ${program}(1)")
    list(APPEND man_pages ${page})
  endforeach()
  add_custom_target(pcn_man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no manual pages")
endif()

# D-Bus starts `pcn --automation` when a script calls the automation service
# and no Parcelon offers it yet.
if(TARGET pcn)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/desktop/org.tarnwick.Parcelon.service.in
                 ${CMAKE_BINARY_DIR}/packaging/org.tarnwick.Parcelon.service @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/org.tarnwick.Parcelon.service
          DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/services)
endif()

# Debian's documentation files for the package.
set(PCN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/parcelon)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${PCN_DOC_DIR})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/debian/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/debian/changelog)
add_custom_target(pcn_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${PCN_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parcelon)
set(CPACK_PACKAGE_VENDOR "Tarnwick Development")
set(CPACK_PACKAGE_CONTACT "Tarnwick Development <parcelon@tarnwick.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build, sign and ship Windows deployment packages")
set(CPACK_PACKAGE_DESCRIPTION "Parcelon turns a set of files into Windows deployment packages:
Microsoft Cabinet files (single or numbered spanning sets), self-extracting
executables, a self-extracting setup wizard, cabinet INF files and web INF
packages. It signs them with Authenticode and ships them by FTP or mail.
It has a Qt desktop program (pcn) and a command line (parcelon) for
headless and CI builds.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://parcelon.tarnwick.invalid/")
# The shared libraries come from dpkg-shlibdeps; the tools run as programs are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "osslsigncode, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cabextract")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

if(PCN_BUILD_TESTS AND TARGET pcn)
  set(tests ${CMAKE_SOURCE_DIR}/packaging/tests)
  # It moves the build's program folder away for a while: nothing else may run.
  add_test(NAME packaging.install COMMAND ${tests}/install-test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(packaging.install PROPERTIES RUN_SERIAL TRUE)
  add_test(NAME packaging.deb COMMAND ${tests}/deb-test.sh ${CMAKE_BINARY_DIR})
  add_test(NAME app.automation COMMAND ${tests}/automation-test.sh ${PCN_PROGRAM_DIR})
endif()
