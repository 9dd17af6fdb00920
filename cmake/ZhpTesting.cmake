# zhp_add_test(<name> SOURCES <files...> [LIBS <targets...>] [GUI] [WEB] [TIMEOUT <s>])
#
# Builds one Qt Test executable and registers it with CTest. Every test runs
# on the offscreen platform; GUI links Qt Widgets, WEB additionally sets what
# QtWebEngine needs to start without a GPU or a display.
function(zhp_add_test name)
  cmake_parse_arguments(ARG "GUI;WEB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE zhptestsupport Qt5::Test ${ARG_LIBS})
  if(ARG_GUI OR ARG_WEB)
    target_link_libraries(${name} PRIVATE Qt5::Widgets)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen" "LC_ALL=C.UTF-8" "ZHP_TEST=1")
  if(ARG_WEB)
    list(APPEND env "QT_QUICK_BACKEND=software" "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu"
                    "QTWEBENGINE_DISABLE_SANDBOX=1")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
endfunction()
