# cmake --install puts the host, the add-in module, its registration and the
# example model in place, and lets other host projects find_package the
# host interfaces and automation runtime:
#
#   bin/orba, bin/components.ini (Tessary.CTessary -> ../lib/tessary/libtessary.so)
#   lib/liborba_automation.so
#   lib/tessary/libtessary.so and "SysML Example.obx" beside it
#   include/tessary/{automation,host}/*.h
#   lib/cmake/TessaryHost/ (find_package(TessaryHost) -> TessaryHost::orba_automation)
#   share/man/man1/orba.1, share/bash-completion/completions/orba (made by orba)
#   share/doc/tessary/README.md
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TESSARY_MODULE_DIR "${CMAKE_INSTALL_LIBDIR}/tessary")

set_target_properties(orba PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set_target_properties(tessary PROPERTIES INSTALL_RPATH "$ORIGIN/..")

target_include_directories(orba_automation PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tessary>)

install(TARGETS orba RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tessary LIBRARY DESTINATION ${TESSARY_MODULE_DIR})
install(TARGETS orba_automation EXPORT TessaryHostTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The headers keep their folder names (automation/, host/).
install(DIRECTORY src/automation src/host
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessary
        FILES_MATCHING PATTERN "*.h")
if(TARGET tessary_example_model)
  install(FILES "${TESSARY_EXAMPLE_MODEL}" DESTINATION ${TESSARY_MODULE_DIR})
endif()

# The manual page and the bash completion script, made by the built orba from
# its own command line.
set(TESSARY_MAN_PAGE "${CMAKE_BINARY_DIR}/share/man/man1/orba.1")
set(TESSARY_COMPLETION "${CMAKE_BINARY_DIR}/share/bash-completion/completions/orba")
add_custom_command(OUTPUT "${TESSARY_MAN_PAGE}" "${TESSARY_COMPLETION}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/share/man/man1"
          "${CMAKE_BINARY_DIR}/share/bash-completion/completions"
  COMMAND orba man -o "${TESSARY_MAN_PAGE}"
  COMMAND orba completion bash -o "${TESSARY_COMPLETION}"
  DEPENDS orba
  COMMENT "Writing orba's manual page and bash completion")
add_custom_target(orba_shell_files ALL DEPENDS "${TESSARY_MAN_PAGE}" "${TESSARY_COMPLETION}")
install(FILES "${TESSARY_MAN_PAGE}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${TESSARY_COMPLETION}" DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

install(EXPORT TessaryHostTargets NAMESPACE TessaryHost::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryHost)
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake.in"
  "@PACKAGE_INIT@\ninclude(\"\${CMAKE_CURRENT_LIST_DIR}/TessaryHostTargets.cmake\")\n")
configure_package_config_file("${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake.in"
  "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake"
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryHost)
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfig.cmake"
              "${CMAKE_CURRENT_BINARY_DIR}/TessaryHostConfigVersion.cmake"
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryHost)

# The registry installed beside orba names the module relative to itself, so
# that the installed tree works wherever it is moved; installed as a file, it
# is in the install manifest and an uninstall removes it.
file(RELATIVE_PATH TESSARY_MODULE_FROM_BIN "/${CMAKE_INSTALL_BINDIR}"
     "/${TESSARY_MODULE_DIR}/libtessary.so")
file(WRITE "${CMAKE_BINARY_DIR}/installed/components.ini"
     "[Components]\nTessary.CTessary=${TESSARY_MODULE_FROM_BIN}\n")
install(FILES "${CMAKE_BINARY_DIR}/installed/components.ini" DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
