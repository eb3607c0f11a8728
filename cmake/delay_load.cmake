# Delay-loaded DLLs. Foxbane runs elevated from a folder its user can write
# (Downloads, say). A DLL it imports statically, and every DLL that one
# depends on, is loaded before the program's first line, and the search for
# any of them that is not a KnownDLL starts in the program's folder. A program
# that imports only kernel32 and the C runtime (both KnownDLLs, always taken
# from the system folder) and loads the rest on first use can restrict the
# search to System32 before anything else is loaded.

# foxbane_delay_load(TARGET NAME...): TARGET loads each DLL (by base name:
# user32) on its first call into it instead of at start.
function(foxbane_delay_load target)
  if(MSVC)
    foreach(name IN LISTS ARGN)
      target_link_options(${target} PRIVATE /DELAYLOAD:${name}.dll)
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
  elseif(MINGW)
    foreach(name IN LISTS ARGN)
      foxbane_mingw_delay_library(${name} library)
      target_link_libraries(${target} PRIVATE "${library}")
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
  endif()
endfunction()

# GNU ld has no delay-load switch: dlltool makes a delay-import library from
# the names the toolchain's ordinary import library lists.
function(foxbane_mingw_delay_library name result)
  set(folder "${CMAKE_BINARY_DIR}/delay-load")
  set(library "${folder}/lib${name}_delay.a")
  set(${result} "${library}" PARENT_SCOPE)
  if(EXISTS "${library}")
    return()
  endif()
  find_library(FOXBANE_IMPORT_LIBRARY_${name} NAMES ${name} REQUIRED NO_CACHE)
  set(import_library "${FOXBANE_IMPORT_LIBRARY_${name}}")
  execute_process(COMMAND "${CMAKE_NM}" "${import_library}" OUTPUT_VARIABLE symbols
                  COMMAND_ERROR_IS_FATAL ANY)
  # 32-bit names carry one more leading underscore and their stdcall "@N",
  # which --kill-at drops from the imported name.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(import_prefix "__imp__")
    set(kill_at --kill-at)
  else()
    set(import_prefix "__imp_")
    set(kill_at)
  endif()
  string(REGEX MATCHALL " I ${import_prefix}[^\r\n]+" imports "${symbols}")
  list(TRANSFORM imports REPLACE " I ${import_prefix}" "")
  list(REMOVE_DUPLICATES imports)
  list(JOIN imports "\n" exports)
  file(MAKE_DIRECTORY "${folder}")
  file(WRITE "${folder}/${name}.def" "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
  execute_process(COMMAND "${CMAKE_DLLTOOL}" --def "${folder}/${name}.def" --dllname ${name}.dll
                          ${kill_at} --output-delaylib "${library}"
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()
