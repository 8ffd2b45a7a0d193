# Drawing surface, fonts, bitmap files and platform services.

# The bitmap writer is portable: its test runs on the host and under Wine,
# built straight from the writer's source.
if(WIN32)
  velmora_test(bmpwriter_wine_tests bmpwriter_tests.cpp "${CMAKE_SOURCE_DIR}/toolkit/BmpWriter.cpp")
else()
  velmora_test(bmpwriter_tests bmpwriter_tests.cpp "${CMAKE_SOURCE_DIR}/toolkit/BmpWriter.cpp")
endif()

if(WIN32 AND TARGET velmora_toolkit)
  velmora_test(drawing_tests drawing_tests.cpp LIBS velmora_toolkit velmora_driver)
endif()

if(WIN32 AND TARGET velmora_toolkit AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/ToolkitTestSupport.cpp")
  velmora_test(services_tests services_tests.cpp LIBS toolkit_test_support velmora_toolkit)
  # Its manifest makes UTF-8 the system code page of the program.
  velmora_test(toolkit_utf8_tests utf8_codepage_tests.cpp utf8_codepage.rc LIBS toolkit_test_support velmora_toolkit)
  set_source_files_properties(utf8_codepage.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/utf8_codepage.manifest")
endif()

# A form painted through the drawing surface, to look at (not a test).
if(WIN32 AND TARGET velmora_toolkit)
  add_executable(drawing_demo WIN32 drawing_demo.cpp)
  target_link_libraries(drawing_demo PRIVATE velmora_toolkit)
  target_include_directories(drawing_demo PRIVATE "${CMAKE_SOURCE_DIR}")
  target_link_options(drawing_demo PRIVATE -municode)
endif()
