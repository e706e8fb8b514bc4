# Installation in the GNU folders, the Debian package made by CPack, and the
# version every program prints. Included at the end of the top CMakeLists,
# once every program's target is defined.
include(GNUInstallDirs)

# common/version.h, generated from project(VERSION): any program that links
# vortan_common (or vortan_version alone) can include "version.h".
configure_file(${CMAKE_SOURCE_DIR}/common/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h
               @ONLY)
add_library(vortan_version INTERFACE)
target_include_directories(vortan_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(vortan_common PUBLIC vortan_version)

# Installing and packaging take what the build made and tested; they build
# nothing more themselves (a missing program is said, not quietly compiled).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(VORTAN_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(VORTAN_PACKAGED ${CMAKE_BINARY_DIR}/packaging)

# The programs. The closed-form generator is installed under a name of the
# package's own, as every installed tool begins with gridor, plotor or vortan-;
# it is a target of its own so that the package strips it like the others.
add_executable(vortan-closed-form ${CMAKE_SOURCE_DIR}/examples/generator/main.cpp)
target_link_libraries(vortan-closed-form PRIVATE closed_form_lib)
install(TARGETS gridor plotor vortan-closed-form RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Every installed program, each with its manual page.
set(VORTAN_PROGRAMS gridor plotor vortan-closed-form vortan-demo)
if(TARGET vortan-import)
  install(TARGETS vortan-import vortan-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  list(APPEND VORTAN_PROGRAMS vortan-import vortan-export)
endif()

# vortan-solve may be defined after this file is read: its rule waits for the
# end of the top folder.
function(vortan_install_solver)
  set(programs ${VORTAN_PROGRAMS})
  if(TARGET vortan-solve)
    install(TARGETS vortan-solve RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    vortan_man_page(vortan-solve)
    list(APPEND programs vortan-solve)
  endif()
  # Every installed file checked in a temporary prefix, after the build.
  if(VORTAN_TESTS)
    add_test(NAME packaging.install
             COMMAND ${VORTAN_PACKAGING}/check_install.sh ${CMAKE_BINARY_DIR}
                     ${VORTAN_PACKAGED}/install_work ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION}
                     ${programs})
    # The Debian package made and put to lintian; a minute or two.
    add_test(NAME packaging.deb
             COMMAND ${VORTAN_PACKAGING}/check_package.sh ${CMAKE_BINARY_DIR} ${programs})
    set_tests_properties(packaging.deb PROPERTIES TIMEOUT 600 RUN_SERIAL ON)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vortan_install_solver)

# vortan-demo: copies the read-only installed examples into a folder of the
# user's and runs the demo there.
configure_file(${VORTAN_PACKAGING}/vortan-demo.in ${VORTAN_PACKAGED}/vortan-demo @ONLY)
install(PROGRAMS ${VORTAN_PACKAGED}/vortan-demo DESTINATION ${CMAKE_INSTALL_BINDIR})

# The examples and their session scripts.
file(GLOB VORTAN_EXAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.dat
     ${CMAKE_SOURCE_DIR}/examples/*.out ${CMAKE_SOURCE_DIR}/examples/*.script
     ${CMAKE_SOURCE_DIR}/examples/*.geo)
install(FILES ${VORTAN_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DATADIR}/vortan/examples)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/examples/demo.sh
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vortan/examples)

# Manual pages, compressed without a time stamp so the package is the same
# from one build to the next.
add_custom_target(vortan_man_pages ALL)
function(vortan_man_page name)
  set(source ${VORTAN_PACKAGED}/man/${name}.1)
  set(page ${source}.gz)
  configure_file(${VORTAN_PACKAGING}/man/${name}.1 ${source} @ONLY)
  add_custom_command(OUTPUT ${page} COMMAND gzip -9nc ${source} > ${page}
                     DEPENDS ${source} VERBATIM)
  add_custom_target(vortan_man_${name} DEPENDS ${page})
  add_dependencies(vortan_man_pages vortan_man_${name})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
foreach(name ${VORTAN_PROGRAMS})
  vortan_man_page(${name})
endforeach()

# Menu entries, icons and AppStream metadata of the two desktop programs.
foreach(program gridor plotor)
  install(FILES ${VORTAN_PACKAGING}/org.vortan.${program}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${VORTAN_PACKAGING}/icons/org.vortan.${program}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(${VORTAN_PACKAGING}/org.vortan.${program}.metainfo.xml
                 ${VORTAN_PACKAGED}/org.vortan.${program}.metainfo.xml @ONLY)
  install(FILES ${VORTAN_PACKAGED}/org.vortan.${program}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endforeach()

# The copyright (the Gmsh library's GPL for the interop tools), the Debian
# changelog and README in the package's documentation folder.
configure_file(${VORTAN_PACKAGING}/changelog.Debian.in ${VORTAN_PACKAGED}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${VORTAN_PACKAGED}/changelog.Debian.gz
  COMMAND gzip -9nc ${VORTAN_PACKAGED}/changelog.Debian > ${VORTAN_PACKAGED}/changelog.Debian.gz
  DEPENDS ${VORTAN_PACKAGED}/changelog.Debian VERBATIM)
add_custom_target(vortan_changelog ALL DEPENDS ${VORTAN_PACKAGED}/changelog.Debian.gz)
install(FILES ${VORTAN_PACKAGING}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vortan)
install(FILES ${VORTAN_PACKAGING}/copyright ${VORTAN_PACKAGED}/changelog.Debian.gz
              ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# One Debian package: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME vortan)
set(CPACK_PACKAGE_VENDOR "The VORTAN developers")
set(CPACK_PACKAGE_CONTACT "The VORTAN developers <vortan@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-dimensional finite element preprocessor and viewer")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "VORTAN's desktop programs: GRIDOR builds a two-dimensional finite element\n"
    "mesh, its loads and analysis control, and writes the input file of the\n"
    "analysis; PLOTOR draws the results of the analysis (deformed meshes, stress\n"
    "crosses, flow lines, contours, yield zones, bar and beam diagrams) on the\n"
    "screen and as PostScript. vortan-solve runs the analysis with CalculiX;\n"
    "vortan-import and vortan-export take meshes from Gmsh and results to\n"
    "ParaView and Gmsh.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS calculix-ccx)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
