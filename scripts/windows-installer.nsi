; The Windows installer of Lumarin. scripts/windows-package makes it from the
; folder that also goes into the zip:
;
;   makensis -INPUTCHARSET UTF8 -DVERZE=<a.b.c.d> -DZDROJ=<folder of the zip>
;            -DSEZNAMY=<folder with soubory.nsh and odebrat.nsh>
;            -DVYSTUP=<installer.exe> windows-installer.nsi
;
; soubory.nsh installs every file of the folder, odebrat.nsh removes the same
; files and then their folders if they are empty: the uninstaller takes away
; what was installed and nothing else, whatever folder the user chose.
;
; It installs for the current user only, into the user's own programs folder
; (%LOCALAPPDATA%\Programs\Lumarin): no administrator is needed, and the
; program's settings are the user's anyway (HKCU\Software\VELOR\Lumarin).
; The uninstaller leaves those settings. The Start-menu entry is always made;
; offering Lumarin for .txt files is a component the user has to tick (or
; /TXT with /S): Lumarin is then listed under "Open with" and the program
; that opens .txt files stays the default.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!macro Povinne Jmeno
  !ifndef ${Jmeno}
    !error "${Jmeno} must be given with -D${Jmeno}=..."
  !endif
!macroend
!insertmacro Povinne VERZE
!insertmacro Povinne ZDROJ
!insertmacro Povinne SEZNAMY
!insertmacro Povinne VYSTUP

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define ODINSTALACE "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumarin"
!define PROGID "Lumarin.txt"
!define PRIPONA "Software\Classes\.txt"

Name "Lumarin"
OutFile "${VYSTUP}"
InstallDir "$LOCALAPPDATA\Programs\Lumarin"
InstallDirRegKey HKCU "${ODINSTALACE}" "InstallLocation"
BrandingText "Lumarin ${VERZE}"
!ifdef IKONA
  !define MUI_ICON "${IKONA}"
  !define MUI_UNICON "${IKONA}"
!endif

!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\lumarin.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for users whose own is none of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Czech"
!insertmacro MUI_LANGUAGE "Slovak"
!insertmacro MUI_LANGUAGE "German"

LangString PopisProgram ${LANG_ENGLISH} "The program, the command-line converter lumarin-convert and an entry in the Start menu."
LangString PopisProgram ${LANG_CZECH} "Program, převodník pro příkazový řádek lumarin-convert a položka v nabídce Start."
LangString PopisProgram ${LANG_SLOVAK} "Program, prevodník pre príkazový riadok lumarin-convert a položka v ponuke Štart."
LangString PopisProgram ${LANG_GERMAN} "Das Programm, der Kommandozeilen-Konverter lumarin-convert und ein Eintrag im Startmenü."
LangString SekceTxt ${LANG_ENGLISH} "Offer Lumarin for .txt files"
LangString SekceTxt ${LANG_CZECH} "Nabízet Lumarin pro soubory .txt"
LangString SekceTxt ${LANG_SLOVAK} "Ponúkať Lumarin pre súbory .txt"
LangString SekceTxt ${LANG_GERMAN} "Lumarin für .txt-Dateien anbieten"
LangString PopisTxt ${LANG_ENGLISH} "Adds Lumarin to $\"Open with$\" for .txt files. The program that opens them now stays the default."
LangString PopisTxt ${LANG_CZECH} "Přidá Lumarin do nabídky „Otevřít v programu“ pro soubory .txt. Program, který je otevírá nyní, zůstane výchozí."
LangString PopisTxt ${LANG_SLOVAK} "Pridá Lumarin do ponuky „Otvoriť v programe“ pre súbory .txt. Program, ktorý ich otvára teraz, zostane predvolený."
LangString PopisTxt ${LANG_GERMAN} "Fügt Lumarin zu „Öffnen mit“ für .txt-Dateien hinzu. Das Programm, das sie jetzt öffnet, bleibt der Standard."
LangString TypSouboru ${LANG_ENGLISH} "Text document (Lumarin)"
LangString TypSouboru ${LANG_CZECH} "Textový dokument (Lumarin)"
LangString TypSouboru ${LANG_SLOVAK} "Textový dokument (Lumarin)"
LangString TypSouboru ${LANG_GERMAN} "Textdokument (Lumarin)"
LangString BeziProgram ${LANG_ENGLISH} "Lumarin is running. Close it and try again."
LangString BeziProgram ${LANG_CZECH} "Lumarin je spuštěn. Ukončete jej a zkuste to znovu."
LangString BeziProgram ${LANG_SLOVAK} "Lumarin je spustený. Ukončite ho a skúste to znova."
LangString BeziProgram ${LANG_GERMAN} "Lumarin läuft noch. Beenden Sie es und versuchen Sie es erneut."

VIProductVersion "${VERZE}"
VIFileVersion "${VERZE}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Lumarin"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "VELOR"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright © VELOR"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Lumarin ${VERZE} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERZE}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERZE}"

; A program that runs keeps its files: it is found by opening its executable
; for writing, which Windows refuses while the file is mapped. The user
; closes it and retries, or cancels, which ends the (un)installation with
; status 2 before any file is touched.
!macro ZkontrolujBeh Predpona
Function ${Predpona}ZkontrolujBeh
  ${IfNot} ${FileExists} "$INSTDIR\lumarin.exe"
    Return
  ${EndIf}
  znovu:
  ClearErrors
  FileOpen $0 "$INSTDIR\lumarin.exe" a
  ${IfNot} ${Errors}
    FileClose $0
    Return
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(BeziProgram)" /SD IDCANCEL IDRETRY znovu
  Abort
FunctionEnd
!macroend
!insertmacro ZkontrolujBeh ""
!insertmacro ZkontrolujBeh "un."

Section "Lumarin" SekceProgram
  SectionIn RO
  Call ZkontrolujBeh
  !include "${SEZNAMY}/soubory.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Lumarin.lnk" "$INSTDIR\lumarin.exe" "" "$INSTDIR\lumarin.exe" 0

  ; Apps & features (Add/Remove Programs).
  WriteRegStr HKCU "${ODINSTALACE}" "DisplayName" "Lumarin"
  WriteRegStr HKCU "${ODINSTALACE}" "DisplayVersion" "${VERZE}"
  WriteRegStr HKCU "${ODINSTALACE}" "Publisher" "VELOR"
  WriteRegStr HKCU "${ODINSTALACE}" "DisplayIcon" "$INSTDIR\lumarin.exe,0"
  WriteRegStr HKCU "${ODINSTALACE}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${ODINSTALACE}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${ODINSTALACE}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${ODINSTALACE}" "NoModify" 1
  WriteRegDWORD HKCU "${ODINSTALACE}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${ODINSTALACE}" "EstimatedSize" $0
SectionEnd

Section /o "$(SekceTxt)" SekceTxt
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "$(TypSouboru)"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\lumarin.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\lumarin.exe" "%1"'
  WriteRegNone HKCU "${PRIPONA}\OpenWithProgids" "${PROGID}"
  ; SHCNE_ASSOCCHANGED: Explorer reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SekceProgram} "$(PopisProgram)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SekceTxt} "$(PopisTxt)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; "/TXT" on the command line ticks the .txt component, so that a silent
; install (/S) can offer it too.
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/TXT" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SekceTxt}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.ZkontrolujBeh
  !include "${SEZNAMY}/odebrat.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Lumarin.lnk"

  ; Only what the installer wrote: the entry under "Open with" and the keys
  ; that are empty without it. The user's settings stay.
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "${PRIPONA}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty /ifnovalues HKCU "${PRIPONA}\OpenWithProgids"
  DeleteRegKey /ifempty /ifnovalues HKCU "${PRIPONA}"
  DeleteRegKey HKCU "${ODINSTALACE}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
