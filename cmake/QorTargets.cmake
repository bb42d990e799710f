# Helpers that keep the core/UI split and the layer order explicit.
#
# qor_core_library(name SOURCES ... [LINKS ...])
#   A static library of widget-free code. It may link QtCore, QtGui and the
#   codec libraries, never QtWidgets.
# qor_ui_library(name SOURCES ... [LINKS ...])
#   A static library of widgets on top of the core.
# qor_executable(name SOURCES ... [LINKS ...])
#   A program of the project (the player, the command-line tool).
# qor_test(name [APP] SOURCES ... [LINKS ...])
#   A GoogleTest executable registered with CTest, with tests/support. UI
#   tests run offscreen; APP creates the application object before the tests.
#
# Layers: src/CMakeLists.txt adds the folders from the bottom up. A library
# may link only project libraries made before it, and it links exactly the
# project libraries whose headers it includes (checked by cmake/QorLayers.cmake
# at configure time and again by the "layers" test). A missing source file is
# a configure error.

include(${CMAKE_CURRENT_LIST_DIR}/QorLayers.cmake)

# Records a project target for the layer check: its folder, sources and the
# project libraries it links.
function(qor_register_target name)
  set(project_links "")
  foreach(link ${ARGN})
    if(link MATCHES "^qor_")
      if(NOT TARGET ${link})
        message(FATAL_ERROR "${name} links ${link}, which is not below it in the layer order "
                            "(src/CMakeLists.txt adds the folders from the bottom up)")
      endif()
      list(APPEND project_links ${link})
    endif()
  endforeach()
  get_target_property(sources ${name} SOURCES)
  set_property(GLOBAL APPEND PROPERTY QOR_LAYER_TARGETS ${name})
  set_property(GLOBAL PROPERTY QOR_LAYER_DIR_${name} ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL PROPERTY QOR_LAYER_SOURCES_${name} ${sources})
  set_property(GLOBAL PROPERTY QOR_LAYER_LINKS_${name} ${project_links})
endfunction()

function(qor_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui ${ARG_LINKS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  qor_register_target(${name} ${ARG_LINKS})
endfunction()

function(qor_ui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets ${ARG_LINKS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  qor_register_target(${name} ${ARG_LINKS})
endfunction()

function(qor_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_compile_definitions(${name} PRIVATE QOR_VERSION="${PROJECT_VERSION}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  qor_register_target(${name} ${ARG_LINKS})
endfunction()

function(qor_test name)
  cmake_parse_arguments(ARG "APP" "" "SOURCES;LINKS" ${ARGN})
  foreach(link ${ARG_LINKS})
    if(link MATCHES "^qor_" AND NOT TARGET ${link})
      message(FATAL_ERROR "${name} links ${link}, which is no library of the project")
    endif()
  endforeach()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_APP)
    target_link_libraries(${name} PRIVATE qor_test_main)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE qor_test_support GTest::gtest ${ARG_LINKS})
  target_compile_definitions(${name} PRIVATE
    QOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# Writes what the layer check needs to build/qor_layers.cmake, checks it now
# and registers the "layers" test that checks it again against the sources
# as they are when the suite runs. Called once, after every folder is added.
function(qor_check_layers)
  get_property(targets GLOBAL PROPERTY QOR_LAYER_TARGETS)
  set(text "set(QOR_LAYER_SRC \"${PROJECT_SOURCE_DIR}/src\")\nset(QOR_LAYER_TARGETS \"${targets}\")\n")
  foreach(t ${targets})
    get_property(dir GLOBAL PROPERTY QOR_LAYER_DIR_${t})
    get_property(sources GLOBAL PROPERTY QOR_LAYER_SOURCES_${t})
    get_property(links GLOBAL PROPERTY QOR_LAYER_LINKS_${t})
    string(APPEND text "set(QOR_LAYER_DIR_${t} \"${dir}\")\n")
    string(APPEND text "set(QOR_LAYER_SOURCES_${t} \"${sources}\")\n")
    string(APPEND text "set(QOR_LAYER_LINKS_${t} \"${links}\")\n")
  endforeach()
  set(manifest ${PROJECT_BINARY_DIR}/qor_layers.cmake)
  file(WRITE ${manifest} "${text}")
  qor_layers_check(${manifest} errors)
  if(errors)
    message(FATAL_ERROR "Layer check failed:\n${errors}")
  endif()
  set_property(GLOBAL PROPERTY QOR_LAYER_MANIFEST ${manifest})
endfunction()

# Every folder below the current one that has a CMakeLists.txt must be added
# by a plain add_subdirectory() in the current CMakeLists.txt: a forgotten
# folder is an error, not a silently smaller build.
function(qor_check_all_folders_added)
  file(GLOB_RECURSE lists ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  get_property(added DIRECTORY PROPERTY SUBDIRECTORIES)
  foreach(list ${lists})
    get_filename_component(dir ${list} DIRECTORY)
    if(NOT dir IN_LIST added)
      file(RELATIVE_PATH shown ${PROJECT_SOURCE_DIR} ${dir})
      message(FATAL_ERROR "${shown} has a CMakeLists.txt but ${CMAKE_CURRENT_LIST_FILE} does not add it")
    endif()
  endforeach()
endfunction()
