# The dialogs and the task, project and calendar commands: the program worked
# through the test driver, and the dialog classes on their own.
if(WIN32 AND TARGET QVVelmora)
  velmora_test(dialogs_tests dialogs_tests.cpp LIBS velmora_app velmora_driver velmora_file velmora_model)
  target_compile_definitions(dialogs_tests PRIVATE VELMORA_PROGRAM="$<TARGET_FILE:QVVelmora>")
  add_dependencies(dialogs_tests QVVelmora)
  set_tests_properties(dialogs_tests PROPERTIES TIMEOUT 600)
endif()
