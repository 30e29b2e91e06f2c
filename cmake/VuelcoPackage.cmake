# make package: the release packages of this platform, named and versioned from project().
set(CPACK_PACKAGE_NAME vuelco)
set(CPACK_PACKAGE_VENDOR "Vuelco developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
  # build-windows/Vuelco-<version>-win64-setup.exe, the installer (NSIS, from the Spanish-only
  # template in packaging/nsis), and Vuelco-<version>-win64.zip, the same files in one folder
  # that runs from wherever it is unpacked. The file names are set per generator in
  # WindowsPackageNames.cmake.
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/WindowsPackageNames.cmake)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Vuelco)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vuelco)
  set(CPACK_NSIS_PACKAGE_NAME Vuelco)
  set(CPACK_NSIS_DISPLAY_NAME Vuelco)
  set(CPACK_NSIS_INSTALLED_ICON_NAME Vuelco.exe)
  set(CPACK_NSIS_UNINSTALL_NAME Desinstalar)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/vuelco.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/packaging/vuelco.ico)
  list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/nsis)
  include(CPack)
  return()
endif()

# Debian: build/vuelco_<version>_amd64.deb, its dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows ask for the Liberation faces by name (they keep the design faces' metrics), and
# speak Spanish in the dialogs Qt draws with its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vuelco developers <maintainers@users.noreply.c-seed-9b725f3a.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert BGA data files between two header layouts")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Vuelco converts BGA data files (*.dat) between the two layouts of their
16-byte header, the arcade layout and the PC-emulator layout, in place.
It reads at most the header, tells the file's layout, and on confirmation
rewrites nine header bytes and nothing else. A conversion is done whole or
not at all.

The package holds the desktop program vuelco, whose window speaks Spanish,
and vuelco-cli, which shows or converts many files from a terminal.]=])

include(CPack)
