# The desktop side of the program: the icon compiled into orbisto_app (the
# desktop integration writes it per user), the install rules and a test that
# installs into a temporary prefix and validates what it installed.
# The help pages (data/help) are installed to share/orbisto/help and copied
# beside the built program, where the window's F1 finds them.

file(READ ${PROJECT_SOURCE_DIR}/data/icons/orbisto.svg ORBISTO_ICON_SVG)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/data/icons/orbisto.svg)
configure_file(${PROJECT_SOURCE_DIR}/cmake/program_icon.h.in
  ${PROJECT_BINARY_DIR}/generated/app/program_icon.h @ONLY)
target_include_directories(orbisto_app PRIVATE ${PROJECT_BINARY_DIR}/generated)

include(GNUInstallDirs)
install(TARGETS orbisto RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/orbisto.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/orbisto.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/io.orbisto.Orbisto.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orbisto/help)
file(GLOB ORBISTO_HELP_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/help/*)
add_custom_target(orbisto_help ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/help ${PROJECT_BINARY_DIR}/help
  DEPENDS ${ORBISTO_HELP_PAGES})

if(ORBISTO_TESTS)
  add_test(NAME install_validates
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/tools/check_install.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR})
  set_tests_properties(install_validates PROPERTIES TIMEOUT 120)
endif()
