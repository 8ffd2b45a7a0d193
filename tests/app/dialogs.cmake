# The dialogs and the task, project and calendar commands: the program worked
# through the test driver, and the dialog classes on their own.
if(WIN32 AND TARGET QVVelmora)
  velmora_test(dialogs_tests dialogs_tests.cpp LIBS velmora_app velmora_driver velmora_file velmora_model)
  target_compile_definitions(dialogs_tests PRIVATE VELMORA_PROGRAM="$<TARGET_FILE:QVVelmora>")
  add_dependencies(dialogs_tests QVVelmora)
  set_tests_properties(dialogs_tests PROPERTIES TIMEOUT 600)
endif()

# Not a test: prints how long the days dialog takes to add and remove a day
# in a list of 50,000.
if(WIN32 AND TARGET velmora_app)
  add_executable(days_bench "${CMAKE_SOURCE_DIR}/bench/days_bench.cpp")
  target_include_directories(days_bench PRIVATE "${CMAKE_SOURCE_DIR}")
  target_link_options(days_bench PRIVATE -municode)
  target_link_libraries(days_bench PRIVATE velmora_app)
endif()
