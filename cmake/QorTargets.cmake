# Helpers that keep the core/UI split explicit.
#
# qor_core_library(name SOURCES ... [LINKS ...])
#   A static library of widget-free code. It may link QtCore, QtGui and the
#   codec libraries, never QtWidgets.
# qor_ui_library(name SOURCES ... [LINKS ...])
#   A static library of widgets on top of the core.
# qor_test(name SOURCES ... [LINKS ...])
#   A GoogleTest executable registered with CTest. UI tests run offscreen.

# Listed files that do not exist (yet) are skipped with a warning, so one
# folder's unfinished list does not stop everyone else's configure.
function(qor_existing_sources out)
  set(result "")
  foreach(src ${ARGN})
    if(IS_ABSOLUTE ${src})
      set(path ${src})
    else()
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    endif()
    string(FIND "${path}" "${PROJECT_BINARY_DIR}" in_build)
    if(EXISTS ${path} OR in_build EQUAL 0)
      list(APPEND result ${src})
    else()
      message(WARNING "${CMAKE_CURRENT_SOURCE_DIR}: missing source ${src}")
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(qor_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  qor_existing_sources(ARG_SOURCES ${ARG_SOURCES})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui ${ARG_LINKS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  set_property(GLOBAL APPEND PROPERTY QOR_CORE_LIBS ${name})
endfunction()

function(qor_ui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  qor_existing_sources(ARG_SOURCES ${ARG_SOURCES})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC qor_core Qt6::Widgets ${ARG_LINKS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  set_property(GLOBAL APPEND PROPERTY QOR_UI_LIBS ${name})
endfunction()

function(qor_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  qor_existing_sources(ARG_SOURCES ${ARG_SOURCES})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LINKS})
  target_compile_definitions(${name} PRIVATE
    QOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt.
function(qor_add_subfolders)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(entry ${entries})
    if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
      add_subdirectory(${entry})
    endif()
  endforeach()
endfunction()
