# make package: the release packages of this platform, named and versioned from project().
set(CPACK_PACKAGE_NAME vuelco)
set(CPACK_PACKAGE_VENDOR "Vuelco developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
  # The Windows installer (NSIS) and the portable zip get their settings here, each
  # generator's own, once the cross build ships Qt beside the programs.
  message(STATUS "make package: no Windows packages are set up yet")
  return()
endif()

# Debian: build/vuelco_<version>_amd64.deb, its dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
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
