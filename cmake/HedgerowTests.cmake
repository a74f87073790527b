# hg_add_test(<name> SOURCES ... [LIBS ...] [REGISTERED] [FOREGROUND] [DATA ...])
#   Builds one GoogleTest program and lets ctest discover its cases. Under the
#   windows preset ctest runs them through Wine (the cross-compiling emulator).
#   REGISTERED: the cases need tkShared and HGRWCustom registered in the
#   prefix; they share a lock with the registration tests, which unregister
#   tkShared for a moment.
#   FOREGROUND: the cases type on the keyboard, which reaches whichever window
#   is in front; no other test runs beside them.
#   DATA: files copied beside the program (scripts the tests run).
function(hg_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 T "REGISTERED;FOREGROUND" "" "SOURCES;LIBS;DATA")
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  set(props TIMEOUT 120)
  if(T_REGISTERED)
    list(APPEND props FIXTURES_REQUIRED tkSharedRegistered RESOURCE_LOCK tkSharedRegistration)
  endif()
  if(T_FOREGROUND)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(TARGET tkShared)
    add_dependencies(${name} tkShared)
  endif()
  # Copied at configure time, which reruns whenever one of them changes.
  foreach(file ${T_DATA})
    get_filename_component(base ${file} NAME)
    configure_file(${file} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${base} COPYONLY)
  endforeach()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
