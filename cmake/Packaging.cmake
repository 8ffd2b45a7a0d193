# The Windows packages: an installer made with NSIS and a zip of the program,
# both named with the version, in build/package. The "installer" target
# builds the program and makes them (scripts/package.sh runs it).

install(TARGETS QVVelmora RUNTIME DESTINATION .)
# Packaging builds the program only, not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VELMORA_PACKAGE_DIR "${CMAKE_SOURCE_DIR}/build/package" CACHE PATH "Folder of the installer and the zip")

set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_NAME "QV Velmora")
set(CPACK_PACKAGE_VENDOR "QV Software")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Diagramma di Gantt e costi di progetto")
set(VELMORA_PACKAGE_NAME "QVVelmora-${PROJECT_VERSION}-win64")  # the installer adds .exe, the zip .zip
set(CPACK_PACKAGE_FILE_NAME "${VELMORA_PACKAGE_NAME}")
set(CPACK_PACKAGE_DIRECTORY "${VELMORA_PACKAGE_DIR}")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MUI_ICON "${CMAKE_SOURCE_DIR}/app/res/app.ico")
set(CPACK_NSIS_MUI_UNIICON "${CMAKE_SOURCE_DIR}/app/res/app.ico")
# Read by the installer's own script (cmake/installer/NSIS.template.in).
set(CPACK_VELMORA_PROGRAM "QVVelmora.exe")
file(STRINGS "${CMAKE_SOURCE_DIR}/app/res/resource.h" appIcon REGEX "#define IDI_APP ")
string(REGEX REPLACE ".*IDI_APP +([0-9]+).*" "\\1" CPACK_VELMORA_ICON_ID "${appIcon}")
set(CPACK_VELMORA_PROGID "QVVelmora.Progetto")
set(CPACK_VELMORA_FILE_TYPE "Progetto QV Velmora")
list(APPEND CMAKE_MODULE_PATH "${CMAKE_SOURCE_DIR}/cmake/installer")
include(CPack)

add_custom_target(installer
  COMMAND "${CMAKE_CPACK_COMMAND}" --config "${CMAKE_BINARY_DIR}/CPackConfig.cmake" -B "${VELMORA_PACKAGE_DIR}"
  COMMAND "${CMAKE_COMMAND}" -E rm -rf "${VELMORA_PACKAGE_DIR}/_CPack_Packages"
  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
  COMMENT "Making the installer and the zip in ${VELMORA_PACKAGE_DIR}"
  VERBATIM)
add_dependencies(installer QVVelmora)
