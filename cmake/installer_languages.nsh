; The installer's and the uninstaller's languages: NSIS's own texts for its pages, and ours for
; the few of this project. NSIS takes the system's language when it is one of these and English,
; the first, for any other. Included by cmake/packaging.cmake where CMake's installer template
; lists its languages. The file is UTF-8 (marked so by its first bytes); makensis writes each
; language's texts in that language's code page.

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "Dutch"

; The English names of the Start-menu links are also those of an earlier release's links.
!define GUIDE_TABLES_LINK "Guide to the tables"
!define GUIDE_PROGRAMS_LINK "Guide for table programs"
!define UNINSTALL_LINK "Uninstall"

LangString GuideTablesLink ${LANG_ENGLISH} "${GUIDE_TABLES_LINK}"
LangString GuideTablesLink ${LANG_GERMAN} "Anleitung zu den Tischen"
LangString GuideTablesLink ${LANG_FRENCH} "Guide des tables"
LangString GuideTablesLink ${LANG_SPANISH} "Guía de las mesas"
LangString GuideTablesLink ${LANG_ITALIAN} "Guida ai tavoli"
LangString GuideTablesLink ${LANG_DUTCH} "Handleiding bij de flipperkasten"

LangString GuideProgramsLink ${LANG_ENGLISH} "${GUIDE_PROGRAMS_LINK}"
LangString GuideProgramsLink ${LANG_GERMAN} "Anleitung für Tischprogramme"
LangString GuideProgramsLink ${LANG_FRENCH} "Guide des programmes de table"
LangString GuideProgramsLink ${LANG_SPANISH} "Guía para programas de mesa"
LangString GuideProgramsLink ${LANG_ITALIAN} "Guida ai programmi dei tavoli"
LangString GuideProgramsLink ${LANG_DUTCH} "Handleiding voor flipperkastprogramma's"

LangString UninstallLink ${LANG_ENGLISH} "${UNINSTALL_LINK}"
LangString UninstallLink ${LANG_GERMAN} "Deinstallieren"
LangString UninstallLink ${LANG_FRENCH} "Désinstaller"
LangString UninstallLink ${LANG_SPANISH} "Desinstalar"
LangString UninstallLink ${LANG_ITALIAN} "Disinstalla"
LangString UninstallLink ${LANG_DUTCH} "Verwijderen"

LangString AlreadyInstalled ${LANG_ENGLISH} "$(^Name) is already installed.$\n$\nDo you want to uninstall the old version before installing the new one?"
LangString AlreadyInstalled ${LANG_GERMAN} "$(^Name) ist bereits installiert.$\n$\nSoll die alte Version vor der Installation der neuen entfernt werden?"
LangString AlreadyInstalled ${LANG_FRENCH} "$(^Name) est déjà installé.$\n$\nVoulez-vous désinstaller l'ancienne version avant d'installer la nouvelle ?"
LangString AlreadyInstalled ${LANG_SPANISH} "$(^Name) ya está instalado.$\n$\n¿Desea desinstalar la versión anterior antes de instalar la nueva?"
LangString AlreadyInstalled ${LANG_ITALIAN} "$(^Name) è già installato.$\n$\nDisinstallare la versione precedente prima di installare quella nuova?"
LangString AlreadyInstalled ${LANG_DUTCH} "$(^Name) is al geïnstalleerd.$\n$\nWilt u de oude versie verwijderen voordat u de nieuwe installeert?"

LangString UninstallFailed ${LANG_ENGLISH} "Uninstall failed."
LangString UninstallFailed ${LANG_GERMAN} "Die Deinstallation ist fehlgeschlagen."
LangString UninstallFailed ${LANG_FRENCH} "La désinstallation a échoué."
LangString UninstallFailed ${LANG_SPANISH} "No se pudo desinstalar."
LangString UninstallFailed ${LANG_ITALIAN} "Disinstallazione non riuscita."
LangString UninstallFailed ${LANG_DUTCH} "Verwijderen is mislukt."

; The links' names, as the installer made them in its language; the uninstaller reads them from
; the Add/Remove entry, since it may run in another language.
Var LinkGuideTables
Var LinkGuidePrograms
Var LinkUninstall

; Makes the guides' links and records the three names (the uninstaller's link is made by the
; template's own line, under $(UninstallLink)).
Function CreateLinks
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\$(GuideTablesLink).lnk" "$INSTDIR\tables.txt"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\$(GuideProgramsLink).lnk" "$INSTDIR\table-programs.txt"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Link Guide Tables" "$(GuideTablesLink)"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Link Guide Programs" "$(GuideProgramsLink)"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Link Uninstall" "$(UninstallLink)"
FunctionEnd

; Called before the Add/Remove entry goes; an entry without the names is an earlier release's,
; whose links have the English names.
!macro ReadLinkName VAR VALUE ENGLISH
  ReadRegStr ${VAR} SHCTX "${UNINSTALL_KEY}" "${VALUE}"
  ${If} ${VAR} == ""
    StrCpy ${VAR} "${ENGLISH}"
  ${EndIf}
!macroend
Function un.ReadLinks
  !insertmacro ReadLinkName $LinkGuideTables "Link Guide Tables" "${GUIDE_TABLES_LINK}"
  !insertmacro ReadLinkName $LinkGuidePrograms "Link Guide Programs" "${GUIDE_PROGRAMS_LINK}"
  !insertmacro ReadLinkName $LinkUninstall "Link Uninstall" "${UNINSTALL_LINK}"
FunctionEnd

; Removes the links from the Start-menu folder in $MUI_TEMP.
Function un.DeleteLinks
  Delete "$SMPROGRAMS\$MUI_TEMP\$LinkGuideTables.lnk"
  Delete "$SMPROGRAMS\$MUI_TEMP\$LinkGuidePrograms.lnk"
  Delete "$SMPROGRAMS\$MUI_TEMP\$LinkUninstall.lnk"
FunctionEnd
