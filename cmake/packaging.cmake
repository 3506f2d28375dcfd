# The release: an installer (NSIS) and a portable zip holding the shell, its movie, the catalogue
# tool, the demo tables (copies of our table program with their pictures) and the guides as text.

# The demo tables: file stem, name and id. The installer registers them for the folder the user
# chose; the zip carries demo-tables.reg, which names them relative to itself, so that
# `pinballcat import` registers them wherever the zip was unpacked.
set(DEMO_TABLES "harbour|Harbour Lights|1" "comet|Comet Run|2" "carnival|Midnight Carnival|3")
set(PORTABLE_FOLDER "Vantrel2Demo")
set(SETTINGS_KEY "Software\\Corvane\\Vantrel2Demo")

# The version shown by Add/Remove Programs is the one in the executable's VERSIONINFO.
file(STRINGS ${PROJECT_SOURCE_DIR}/resources/resource.h VERSION_LINE
     REGEX "^#define SHELL_VERSION_TEXT ")
string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" SHELL_VERSION ${VERSION_LINE})
# The installer writes the shell's version into the settings as the shell itself does.
file(STRINGS ${PROJECT_SOURCE_DIR}/resources/resource.h VERSION_MAJOR_LINE
     REGEX "^#define SHELL_VERSION_MAJOR ")
string(REGEX REPLACE ".* ([0-9]+)$" "\\1" SHELL_VERSION_MAJOR ${VERSION_MAJOR_LINE})

install(TARGETS pinballshell pinballcat RUNTIME DESTINATION .)
install(FILES ${LOGO_MOVIE} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/tables.md DESTINATION . RENAME tables.txt)
install(FILES ${PROJECT_SOURCE_DIR}/docs/table-programs.md DESTINATION . RENAME table-programs.txt)

set(CATALOGUE_REG "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\${SETTINGS_KEY}]\r\n")
set(DEMO_CATALOGUE_WRITES "")
set(DEMO_CATALOGUE_MOVES "")
set(TABLE_INDEX 0)
foreach(table ${DEMO_TABLES})
  string(REPLACE "|" ";" fields "${table}")
  list(GET fields 0 stem)
  list(GET fields 1 name)
  list(GET fields 2 id)
  install(PROGRAMS $<TARGET_FILE:tableprog> DESTINATION . RENAME ${stem}.exe)
  install(FILES ${CMAKE_BINARY_DIR}/table-art/${stem}.bmp DESTINATION .)
  string(APPEND CATALOGUE_REG "\"Table${TABLE_INDEX}\"=\"${name}\"\r\n")
  string(APPEND CATALOGUE_TABLES_REG
         "\r\n[HKEY_CURRENT_USER\\${SETTINGS_KEY}\\${name}]\r\n"
         "\"Table Name\"=\"${name}\"\r\n"
         "\"Table Exe\"=\"${stem}.exe\"\r\n"
         "\"Table Bitmap\"=\"${stem}.bmp\"\r\n"
         "\"Table Id\"=dword:0000000${id}\r\n")
  string(APPEND DEMO_CATALOGUE_WRITES
         "    WriteRegStr HKCU '${SETTINGS_KEY}' 'Table${TABLE_INDEX}' '${name}'\n"
         "    WriteRegStr HKCU '${SETTINGS_KEY}\\${name}' 'Table Name' '${name}'\n"
         "    WriteRegStr HKCU '${SETTINGS_KEY}\\${name}' 'Table Exe' '$INSTDIR\\${stem}.exe'\n"
         "    WriteRegStr HKCU '${SETTINGS_KEY}\\${name}' 'Table Bitmap' '$INSTDIR\\${stem}.bmp'\n"
         "    WriteRegDWORD HKCU '${SETTINGS_KEY}\\${name}' 'Table Id' ${id}\n")
  string(APPEND DEMO_CATALOGUE_MOVES
         "    !insertmacro MoveDemoFile '${name}' 'Table Exe' '${stem}.exe'\n"
         "    !insertmacro MoveDemoFile '${name}' 'Table Bitmap' '${stem}.bmp'\n")
  math(EXPR TABLE_INDEX "${TABLE_INDEX} + 1")
endforeach()
set(DEMO_TABLES_REG ${CMAKE_BINARY_DIR}/demo-tables.reg)
file(WRITE ${DEMO_TABLES_REG} "${CATALOGUE_REG}${CATALOGUE_TABLES_REG}")
install(FILES ${DEMO_TABLES_REG} DESTINATION .)

# The packages take what the install rules name; they need not wait for the whole build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME "Vantrel2Demo")
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_VERSION ${SHELL_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vantrel! 2 Demo pinball tables")
# The release is the 32-bit build's. A 64-bit build makes its own packages only to be tested on
# hosts that run no 32-bit programs: a 64-bit installer, in a folder and under a name of their own.
if(PINBALL_ARCH STREQUAL "x86")
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
  set(CPACK_PACKAGE_FILE_NAME "vantrel2demo-${SHELL_VERSION}-setup")
  set(NSIS_TARGET "")
else()
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages-x64)
  set(CPACK_PACKAGE_FILE_NAME "vantrel2demo-${SHELL_VERSION}-x64-setup")
  set(NSIS_TARGET "Target amd64-unicode\n")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()
# The default folder has a blank in its name, as most Program Files folders do.
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vantrel 2 Demo")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vantrel 2 Demo")
set(CPACK_NSIS_DISPLAY_NAME "Vantrel! 2 Demo")
set(CPACK_NSIS_PACKAGE_NAME "Vantrel! 2 Demo")
set(CPACK_NSIS_INSTALLED_ICON_NAME "pinballshell.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_PACKAGE_EXECUTABLES "pinballshell" "Vantrel! 2 Demo")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The guides' links and the uninstaller's have names in the installer's language, which the
# uninstaller reads back: cmake/installer_languages.nsh.
set(CPACK_NSIS_CREATE_ICONS_EXTRA "  Call CreateLinks\n")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "  Call un.DeleteLinks\n")
# The installer's own steps, around the player's settings: cmake/installer.nsh.in.
set(INSTALLER_NSH ${CMAKE_BINARY_DIR}/nsis/installer.nsh)
configure_file(${PROJECT_SOURCE_DIR}/cmake/installer.nsh.in ${INSTALLER_NSH} @ONLY)
set(CPACK_NSIS_DEFINES "${NSIS_TARGET}!include '${INSTALLER_NSH}'")
# The installed copy has its catalogue written for the chosen folder and needs no .reg file.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
    "  Delete '$INSTDIR\\demo-tables.reg'\n  Call RegisterTables\n  Call CompleteUninstallEntry\n")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "  Call un.RemoveSettings\n  Call un.ReadLinks\n")
# CMake's installer template, changed in a few lines: the uninstaller of the installation being
# replaced is run by UninstallPrevious, which keeps the player's settings; when it cannot be run,
# a silent install ends with a failure status instead of waiting on a box nobody sees; and the
# template's languages and texts give way to the shell's six.
set(NSIS_TEMPLATE ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in)
file(READ ${NSIS_TEMPLATE} TEMPLATE_TEXT)
function(replace_template_line OLD NEW)
  string(FIND "${TEMPLATE_TEXT}" "${OLD}" AT)
  if(AT EQUAL -1)
    message(FATAL_ERROR "${NSIS_TEMPLATE} no longer has the line ${OLD}")
  endif()
  string(REPLACE "${OLD}" "${NEW}" TEMPLATE_TEXT "${TEMPLATE_TEXT}")
  set(TEMPLATE_TEXT "${TEMPLATE_TEXT}" PARENT_SCOPE)
endfunction()
replace_template_line("ExecWait '\"$0\" /S _?=$3'" "Call UninstallPrevious")
set(UNINSTALL_FAILED "MessageBox MB_OK|MB_ICONSTOP \"Uninstall failed.\"")
replace_template_line("${UNINSTALL_FAILED}" "${UNINSTALL_FAILED} /SD IDOK")
# The template's languages give way to the six of the shell (cmake/installer_languages.nsh), and
# its few texts of its own are said in the installer's language.
string(REGEX MATCH "(  !insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n)+" TEMPLATE_LANGUAGES
       "${TEMPLATE_TEXT}")
if(NOT TEMPLATE_LANGUAGES)
  message(FATAL_ERROR "${NSIS_TEMPLATE} no longer lists its languages")
endif()
replace_template_line("${TEMPLATE_LANGUAGES}"
                      "  !include '${PROJECT_SOURCE_DIR}/cmake/installer_languages.nsh'\n")
set(TEMPLATE_TEXTS
    "\"@CPACK_NSIS_PACKAGE_NAME@ is already installed. $\\n$\\nDo you want to uninstall the old version before installing the new one?\""
    "\"$(AlreadyInstalled)\""
    "\"Uninstall failed.\""
    "\"$(UninstallFailed)\""
    "$STARTMENU_FOLDER\\Uninstall.lnk"
    "$STARTMENU_FOLDER\\$(UninstallLink).lnk")
while(TEMPLATE_TEXTS)
  list(POP_FRONT TEMPLATE_TEXTS english translated)
  replace_template_line("${english}" "${translated}")
endwhile()
file(WRITE ${CMAKE_BINARY_DIR}/nsis/NSIS.template.in "${TEMPLATE_TEXT}")
set(CPACK_MODULE_PATH ${CMAKE_BINARY_DIR}/nsis)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack-per-generator.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
     "if(CPACK_GENERATOR STREQUAL \"ZIP\")\n"
     "  set(CPACK_PACKAGE_FILE_NAME \"${PORTABLE_FOLDER}\")\n"
     "endif()\n")
include(CPack)
