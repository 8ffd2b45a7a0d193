# Text and choice inputs, buttons and static elements; bars and timer; the
# widget gallery. Included by this folder's CMakeLists.txt on Windows.

velmora_test(widgets_inputs inputs_tests.cpp inputs_tests.rc LIBS velmora_toolkit velmora_model)
target_include_directories(widgets_inputs PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")

velmora_test(widgets_bars bars_tests.cpp inputs_tests.rc LIBS velmora_toolkit velmora_model)
target_include_directories(widgets_bars PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")

# Not a test: a form that shows every widget, for looking at them.
add_executable(widget_gallery WIN32 gallery.cpp inputs_tests.rc)
target_include_directories(widget_gallery PRIVATE "${CMAKE_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
target_link_options(widget_gallery PRIVATE -mwindows -municode)
target_link_libraries(widget_gallery PRIVATE velmora_toolkit velmora_model)

set_source_files_properties(inputs_tests.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/inputs_resources.h;${CMAKE_CURRENT_SOURCE_DIR}/data/strip.bmp")
