# `cpack -G DEB` in the build folder makes one Debian package per install
# component (cmake/install.cmake):
#
#   orba      the host, the SysML add-in, the example model; headless, no Qt
#   orba-qt   the add-in's Qt windows (depends on orba of the same version)
#   orba-dev  the host's interface headers and CMake package
#
# Library dependencies are computed by dpkg-shlibdeps from the binaries, not
# listed by hand. Binaries are stripped; each package carries the copyright
# file Debian expects.
set(TESSARY_PACKAGE_MAINTAINER "Tessary developers <tessary@example.com>"
    CACHE STRING "The Maintainer field of the Debian packages")

# The copyright file: ours, then the notices of the libraries compiled in,
# as this machine's Debian packages of them carry them.
foreach(library CLI11:libcli11-dev NLOHMANN_JSON:nlohmann-json3-dev)
  string(REPLACE ":" ";" library "${library}")
  list(GET library 0 variable)
  list(GET library 1 debian_package)
  set(notice "/usr/share/doc/${debian_package}/copyright")
  if(EXISTS "${notice}")
    file(READ "${notice}" ${variable}_COPYRIGHT)
  else()
    set(${variable}_COPYRIGHT "See ${notice} of Debian's ${debian_package}.\n")
  endif()
endforeach()
configure_file(cmake/copyright.in "${CMAKE_BINARY_DIR}/installed/copyright" @ONLY)

# The changelog of a package made from this tree: one entry, this version,
# dated by $SOURCE_DATE_EPOCH when set (a reproducible build) or now.
string(TIMESTAMP TESSARY_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${CMAKE_BINARY_DIR}/installed/changelog"
     "orba (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * Release ${PROJECT_VERSION}; README.md tells what it does.\n\n"
     " -- ${TESSARY_PACKAGE_MAINTAINER}  ${TESSARY_CHANGELOG_DATE}\n")
execute_process(COMMAND gzip -9nf "${CMAKE_BINARY_DIR}/installed/changelog" COMMAND_ERROR_IS_FATAL ANY)

foreach(package runtime:orba qt:orba-qt development:orba-dev)
  string(REPLACE ":" ";" package "${package}")
  list(GET package 0 component)
  list(GET package 1 name)
  install(FILES "${CMAKE_BINARY_DIR}/installed/copyright"
                "${CMAKE_BINARY_DIR}/installed/changelog.gz"
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${name} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orba)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TESSARY_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime qt development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME orba)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "SysML modelling host with validation, searches and compartments\n"
    "orba keeps UML models in files and runs the SysML add-in on them from the\n"
    "command line: 26 validation rules with SARIF and JUnit reports for CI, the\n"
    "allocation search, element compartments and the add-in's menu. It reads\n"
    "its own JSON models and SysML XMI. No window toolkit is needed; install\n"
    "orba-qt for the add-in's dialogs as windows.")

set(CPACK_DEBIAN_QT_PACKAGE_NAME orba-qt)
set(CPACK_COMPONENT_QT_DEPENDS runtime)
set(CPACK_COMPONENT_QT_DESCRIPTION
    "Qt windows for the dialogs of orba's SysML add-in\n"
    "The module the SysML add-in loads to show its message boxes and dialogs\n"
    "(options, about) as Qt windows when a display is available.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME orba-dev)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "orba's host interfaces for add-in and host developers\n"
    "The headers of orba's automation runtime and host object model, and the\n"
    "CMake package TessaryHost to build add-ins and hosts against them.")

include(CPack)
