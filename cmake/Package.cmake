# pcn's manual page, from its own --help, and the Debian packages (`make deb`):
# parcelon-cli (the command line, no Qt) and parcelon (the desktop program).

find_program(HELP2MAN help2man)
set(PCN_MAN_DIR ${CMAKE_BINARY_DIR}/man)
if(TARGET pcn AND HELP2MAN AND GZIP)
  set(page ${PCN_MAN_DIR}/pcn.1.gz)
  # pcn answers --help without a display, settings or lock of the user's.
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PCN_MAN_DIR}
    COMMAND ${CMAKE_COMMAND} -E env PCN_SETTINGS=${PCN_MAN_DIR}/settings.conf
            ${HELP2MAN} --no-info --section=1 "--name=build, sign and ship Windows deployment packages"
            "--version-string=pcn ${PROJECT_VERSION}"
            --output=${PCN_MAN_DIR}/pcn.1 $<TARGET_FILE:pcn>
    COMMAND ${GZIP} -9nf ${PCN_MAN_DIR}/pcn.1
    DEPENDS pcn
    COMMENT "Manual page pcn(1)")
  add_custom_target(pcn_man_pages ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT gui)
elseif(TARGET pcn)
  message(STATUS "help2man not found: no manual page for pcn")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parcelon)
set(CPACK_PACKAGE_VENDOR "Tarnwick Development")
set(CPACK_PACKAGE_CONTACT "Tarnwick Development <parcelon@tarnwick.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli)
if(TARGET pcn)
  list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://parcelon.tarnwick.invalid/")
# The shared libraries come from dpkg-shlibdeps; the tools run as programs are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/debian/drop-ldconfig.cmake)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME parcelon-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "osslsigncode")
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "cabextract")
set(CPACK_DEBIAN_CLI_PACKAGE_SUGGESTS "wine")
set(CPACK_COMPONENT_CLI_DESCRIPTION "build, sign and ship Windows deployment packages (command line)
Parcelon turns a set of files into Windows deployment packages:
Microsoft Cabinet files (single or numbered spanning sets), self-extracting
executables, a self-extracting setup wizard, cabinet INF files and web INF
packages. It signs them with Authenticode and ships them by FTP.
.
This package holds the command line, parcelon, with the signing tools, the
Windows stubs and the FTP library it uses. It needs no desktop libraries,
for build servers and CI images.")

set(CPACK_DEBIAN_GUI_PACKAGE_NAME parcelon)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "parcelon-cli (= ${PROJECT_VERSION}), xdg-utils")
# The sounds that tell success from failure (else the plain beep).
set(CPACK_DEBIAN_GUI_PACKAGE_SUGGESTS "gnome-session-canberra, sound-theme-freedesktop")
set(CPACK_DEBIAN_GUI_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_GUI_DESCRIPTION "build, sign and ship Windows deployment packages (desktop)
Parcelon turns a set of files into Windows deployment packages:
Microsoft Cabinet files (single or numbered spanning sets), self-extracting
executables, a self-extracting setup wizard, cabinet INF files and web INF
packages. It signs them with Authenticode and ships them by FTP or mail.
.
This package holds the desktop program, pcn, with its wizards, property
sheets, help pages and its automation service on the session bus.")
include(CPack)

if(PCN_BUILD_TESTS AND TARGET pcn)
  set(tests ${CMAKE_SOURCE_DIR}/packaging/tests)
  # It moves the build's program folder away for a while: nothing else may run.
  add_test(NAME packaging.install COMMAND ${tests}/install-test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(packaging.install PROPERTIES RUN_SERIAL TRUE)
  add_test(NAME packaging.deb COMMAND ${tests}/deb-test.sh ${CMAKE_BINARY_DIR})
  add_test(NAME app.automation COMMAND ${tests}/automation-test.sh ${PCN_PROGRAM_DIR})
endif()

