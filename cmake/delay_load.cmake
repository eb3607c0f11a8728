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
    set(libraries)
    set(kept)
    foreach(name IN LISTS ARGN)
      foxbane_mingw_delay_library(${name} library keep)
      list(APPEND libraries "${library}")
      list(APPEND kept ${keep})
    endforeach()
    # The scripts that keep the 32-bit thunks come first, so that the delay
    # libraries, not the ordinary ones, define what they ask for.
    target_link_libraries(${target} PRIVATE ${kept} ${libraries} delayimp)
  endif()
endfunction()

# GNU ld has no delay-load switch: dlltool makes a delay-import library from
# the names the toolchain's ordinary import library lists. The 32-bit GNU ld
# drops the thunk of a function that nothing calls by name, and the code
# calls through the import slot, which then stays 0: a call to address 0 on
# the first use. So for 32 bits a linker script names every thunk (EXTERN),
# which keeps them all; `keep` is that script, or empty.
function(foxbane_mingw_delay_library name result keep)
  set(folder "${CMAKE_BINARY_DIR}/delay-load")
  set(library "${folder}/lib${name}_delay.a")
  set(script "${folder}/${name}_delay_keep.ld")
  set(${result} "${library}" PARENT_SCOPE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${keep} "${script}" PARENT_SCOPE)
  else()
    set(${keep} "" PARENT_SCOPE)
  endif()
  if(EXISTS "${library}" AND (NOT CMAKE_SIZEOF_VOID_P EQUAL 4 OR EXISTS "${script}"))
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
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(thunks)
    foreach(import IN LISTS imports)
      string(APPEND thunks " \"_${import}\"")
    endforeach()
    file(WRITE "${script}" "EXTERN(${thunks})\n")
  endif()
  execute_process(COMMAND "${CMAKE_DLLTOOL}" --def "${folder}/${name}.def" --dllname ${name}.dll
                          ${kill_at} --output-delaylib "${library}"
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()
