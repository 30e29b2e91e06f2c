# What a Windows executable needs to start on a machine with nothing installed.

# The mingw runtime (libgcc, libstdc++, winpthread) linked into a Qt-free executable, so that
# it runs on its own.
function(vuelco_link_runtime_statically target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()

# Embeds the manifest that says the program is long-path aware: without it Windows refuses
# paths past 260 characters to the program wherever it does not get a verbatim name.
function(vuelco_declare_long_path_aware target)
  if(WIN32)
    set(VUELCO_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/long_path_aware.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/long_path_aware.rc.in ${target}-manifest.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc)
  endif()
endfunction()

if(WIN32 AND VUELCO_WITH_GUI)
  # Where the DLLs a Qt executable imports come from: Qt's own, and the mingw runtime's.
  foreach(runtimeDll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtimeDll}
                    OUTPUT_VARIABLE runtimeDllPath OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(runtimeDllDir ${runtimeDllPath} DIRECTORY)
    list(APPEND vuelcoRuntimeDllDirs ${runtimeDllDir})
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/deploy-runtime-settings.cmake CONTENT "
set(objdump [[${CMAKE_OBJDUMP}]])
set(strip [[${CMAKE_STRIP}]])
set(searchDirs [[$<TARGET_FILE_DIR:Qt6::Core>;${vuelcoRuntimeDllDirs}]])
set(plugins [[$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>;$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>]])
")
endif()

# Copies beside a Qt executable, after each link, the DLLs it imports (followed through their
# own imports) and the platform and style plugins, stripped, as windeployqt would on Windows.
function(vuelco_deploy_runtime target)
  if(WIN32)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DEXECUTABLE=$<TARGET_FILE:${target}>
              -DSETTINGS=${CMAKE_BINARY_DIR}/deploy-runtime-settings.cmake
              -P ${PROJECT_SOURCE_DIR}/cmake/DeployRuntime.cmake
      VERBATIM)
  endif()
endfunction()

# Installs beside the installed executable what vuelco_deploy_runtime copies beside the built
# one: the same script, following the same imports, run on the installed copy.
function(vuelco_install_runtime target)
  if(WIN32)
    install(CODE "execute_process(
      COMMAND \"${CMAKE_COMMAND}\"
              \"-DEXECUTABLE=\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>\"
              \"-DSETTINGS=${CMAKE_BINARY_DIR}/deploy-runtime-settings.cmake\"
              -P \"${PROJECT_SOURCE_DIR}/cmake/DeployRuntime.cmake\"
      COMMAND_ERROR_IS_FATAL ANY)")
  endif()
endfunction()
