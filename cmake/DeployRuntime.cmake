cmake_minimum_required(VERSION 3.25)
# cmake -DEXECUTABLE=... -DSETTINGS=... -P DeployRuntime.cmake
# Puts beside EXECUTABLE every DLL it needs from SETTINGS' searchDirs, found by following the
# imports objdump reports, and each plugin in its own folder (platforms/, styles/). DLLs the
# search folders do not hold are Windows' own and stay where they are. The copies lose their
# symbols: Debian's mingw runtime DLLs carry them, and libstdc++ alone would weigh 23 MB.
include(${SETTINGS})
get_filename_component(destination ${EXECUTABLE} DIRECTORY)

# Several executables share a folder and link at the same time: a copy lands whole under a
# name of its own and then takes the final name in one rename.
function(copyInto folder file)
  get_filename_component(name ${file} NAME)
  get_filename_component(executableName ${EXECUTABLE} NAME)
  if(EXISTS ${folder}/${name} AND NOT ${file} IS_NEWER_THAN ${folder}/${name})
    return()
  endif()
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${file} ${folder}/${name}.${executableName}.part)
  execute_process(COMMAND ${strip} --strip-unneeded ${folder}/${name}.${executableName}.part
                  COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME ${folder}/${name}.${executableName}.part ${folder}/${name})
endfunction()

set(pending ${EXECUTABLE})
foreach(plugin IN LISTS plugins)
  get_filename_component(pluginFolder ${plugin} DIRECTORY)
  get_filename_component(pluginKind ${pluginFolder} NAME)
  copyInto(${destination}/${pluginKind} ${plugin})
  list(APPEND pending ${plugin})
endforeach()

set(seen "")
while(pending)
  list(POP_FRONT pending binary)
  execute_process(COMMAND ${objdump} -p ${binary} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
  foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${import}")
    string(TOLOWER ${dll} key)
    if(key IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${key})
    foreach(folder IN LISTS searchDirs)
      if(EXISTS ${folder}/${dll})
        copyInto(${destination} ${folder}/${dll})
        list(APPEND pending ${folder}/${dll})
        break()
      endif()
    endforeach()
  endforeach()
endwhile()
