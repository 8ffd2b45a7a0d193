# Settings shared by every target, and the helper that declares a test program.

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00
                          __USE_MINGW_ANSI_STDIO=1)
  add_compile_options(-Wall -Wextra)
  # Where the Windows programs find their Wine prefix when CTest runs them.
  if(CMAKE_CROSSCOMPILING)
    set(VELMORA_WINEPREFIX "${CMAKE_SOURCE_DIR}/build/wineprefix" CACHE PATH "Wine prefix for the Windows tests")
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/cmake/wine-run.sh;${VELMORA_WINEPREFIX}")
  endif()
else()
  add_compile_options(-Wall -Wextra)
  option(VELMORA_SANITIZE "Build the host code with AddressSanitizer and UBSan" ON)
  if(VELMORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
  # The Windows build's tests run in the same CTest session as the host's,
  # so one summary closes the whole run.
  set(VELMORA_WINDOWS_BUILD "" CACHE PATH "Folder of the Windows build whose tests run with the host's")
  if(VELMORA_WINDOWS_BUILD)
    file(WRITE "${CMAKE_BINARY_DIR}/windows-tests.cmake"
      "if(EXISTS \"${VELMORA_WINDOWS_BUILD}/CTestTestfile.cmake\")\n  subdirs(\"${VELMORA_WINDOWS_BUILD}\")\nendif()\n")
    set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY TEST_INCLUDE_FILES
      "${CMAKE_BINARY_DIR}/windows-tests.cmake")
  endif()
endif()

# GoogleTest from its sources (Debian's googletest package puts them in
# /usr/src/googletest), built with whichever compiler this build uses. Without
# them only the libraries and the program are built.
set(VELMORA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source folder")
set(VELMORA_TESTS OFF)
if(EXISTS "${VELMORA_GTEST_SOURCE}/CMakeLists.txt")
  set(VELMORA_TESTS ON)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory("${VELMORA_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
else()
  message(STATUS "GoogleTest sources not found: tests are not built")
endif()

# velmora_test(NAME source... LIBS lib...): one test program, one CTest entry.
# Windows test programs run under Wine through the cross-compiling emulator.
function(velmora_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()
