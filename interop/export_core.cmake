# The reading of a results file and the writing of its VTK files, without
# the Gmsh library: vortan-export and the export's fuzz target build on it.
set(VORTAN_EXPORT_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/console_platform.cpp ${CMAKE_CURRENT_LIST_DIR}/element_orders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_data.cpp ${CMAKE_CURRENT_LIST_DIR}/export_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_files.cpp ${CMAKE_CURRENT_LIST_DIR}/vtk_output.cpp)
if(NOT TARGET vortan_export_core)
  add_library(vortan_export_core STATIC ${VORTAN_EXPORT_CORE_SOURCES})
  target_include_directories(vortan_export_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(vortan_export_core PUBLIC gridor_lib plotor_lib vortan_common)
endif()
