# cmake --install puts the host, the add-in module, its registration and the
# example model in place, and lets other host projects find_package the
# host interfaces and automation runtime. Each file belongs to one component,
# one Debian package each (cmake/package.cmake):
#
#   runtime: bin/orba
#            lib/orba/liborba_automation.so, lib/orba/components.ini
#              (Tessary.CTessary -> ../tessary/libtessary.so)
#            lib/tessary/libtessary.so and "SysML Example.obx" beside it
#            share/man/man1/orba.1.gz, share/bash-completion/completions/orba
#            share/doc/orba/README.md
#   qt:      lib/tessary/libtessary_qt.so (the Qt windows, loaded only to show them)
#   development: include/tessary/{automation,host}/*.h
#            lib/cmake/TessaryHost/ (find_package(TessaryHost) -> TessaryHost::orba_automation)
#
# The runtime library is private to orba and its add-ins (lib/orba, found
# through each program's run path), so the tree works wherever it is moved.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ORBA_PRIVATE_DIR "${CMAKE_INSTALL_LIBDIR}/orba")
set(TESSARY_MODULE_DIR "${CMAKE_INSTALL_LIBDIR}/tessary")

set_target_properties(orba PROPERTIES INSTALL_RPATH "$ORIGIN/../${ORBA_PRIVATE_DIR}")
set_target_properties(tessary PROPERTIES INSTALL_RPATH "$ORIGIN/../orba")

target_include_directories(orba_automation PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tessary>)

install(TARGETS orba RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(TARGETS tessary LIBRARY DESTINATION ${TESSARY_MODULE_DIR} COMPONENT runtime)
install(TARGETS orba_automation EXPORT TessaryHostTargets
        LIBRARY DESTINATION ${ORBA_PRIVATE_DIR} COMPONENT runtime)
if(TARGET tessary_qt)
  install(TARGETS tessary_qt LIBRARY DESTINATION ${TESSARY_MODULE_DIR} COMPONENT qt)
endif()
if(TARGET tessary_example_model)
  install(FILES "${TESSARY_EXAMPLE_MODEL}" DESTINATION ${TESSARY_MODULE_DIR} COMPONENT runtime)
endif()
# The headers keep their folder names (automation/, host/).
install(DIRECTORY src/automation src/host
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessary COMPONENT development
        FILES_MATCHING PATTERN "*.h")

# The manual page (installed compressed) and the bash completion script, made
# by the built orba from its own command line.
set(TESSARY_MAN_PAGE "${CMAKE_BINARY_DIR}/share/man/man1/orba.1")
set(TESSARY_COMPLETION "${CMAKE_BINARY_DIR}/share/bash-completion/completions/orba")
add_custom_command(OUTPUT "${TESSARY_MAN_PAGE}" "${TESSARY_MAN_PAGE}.gz" "${TESSARY_COMPLETION}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/share/man/man1"
          "${CMAKE_BINARY_DIR}/share/bash-completion/completions"
  COMMAND orba man -o "${TESSARY_MAN_PAGE}"
  COMMAND gzip -9nkf "${TESSARY_MAN_PAGE}"
  COMMAND orba completion bash -o "${TESSARY_COMPLETION}"
  DEPENDS orba
  COMMENT "Writing orba's manual page and bash completion")
add_custom_target(orba_shell_files ALL DEPENDS "${TESSARY_MAN_PAGE}" "${TESSARY_COMPLETION}")
install(FILES "${TESSARY_MAN_PAGE}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
install(FILES "${TESSARY_COMPLETION}"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT runtime)

install(EXPORT TessaryHostTargets NAMESPACE TessaryHost::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryHost COMPONENT development)
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake.in"
  "@PACKAGE_INIT@\ninclude(\"\${CMAKE_CURRENT_LIST_DIR}/TessaryHostTargets.cmake\")\n")
configure_package_config_file("${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake.in"
  "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake"
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryHost)
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake"
              "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfigVersion.cmake"
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryHost COMPONENT development)

# The registry of the installed tree (in lib/orba, where orba looks for it)
# names the module relative to itself, so that the tree works wherever it is
# moved; installed as a file, it is in the install manifest and an uninstall
# removes it.
file(RELATIVE_PATH TESSARY_MODULE_FROM_REGISTRY "/${ORBA_PRIVATE_DIR}"
     "/${TESSARY_MODULE_DIR}/libtessary.so")
file(WRITE "${CMAKE_BINARY_DIR}/installed/components.ini"
     "[Components]\nTessary.CTessary=${TESSARY_MODULE_FROM_REGISTRY}\n")
install(FILES "${CMAKE_BINARY_DIR}/installed/components.ini"
        DESTINATION ${ORBA_PRIVATE_DIR} COMPONENT runtime)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/orba COMPONENT runtime)
