# cmake -DOBJDUMP=... -DEXECUTABLE=... -P expect-only-system-imports.cmake
# Fails when EXECUTABLE imports a DLL of the mingw runtime (libgcc, libstdc++, winpthread).
execute_process(COMMAND ${OBJDUMP} -p ${EXECUTABLE} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
message(STATUS "${EXECUTABLE}: ${imports}")
string(REGEX MATCHALL "DLL Name: lib[^\r\n]+" mingwImports "${dump}")
if(mingwImports)
  message(FATAL_ERROR "imports mingw's own DLLs: ${mingwImports}")
endif()
