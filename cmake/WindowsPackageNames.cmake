# Read by cpack once per generator: the installer's name says what it is.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "Vuelco-${CPACK_PACKAGE_VERSION}-win64-setup")
else()
  set(CPACK_PACKAGE_FILE_NAME "Vuelco-${CPACK_PACKAGE_VERSION}-win64")
endif()
