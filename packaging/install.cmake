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
