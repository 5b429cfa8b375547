# Compares the dynamic symbols that libdravik.so defines with the calls declared in the public
# header: the library must export exactly those names and nothing else.
# Usage: cmake -DLIBRARY=<libdravik.so> -DHEADER=<dravik.h> -P check_exports.cmake
file(READ "${HEADER}" header_text)
string(REGEX MATCHALL "DRAVIK_CALL[ \t\r\n]+[A-Za-z_][A-Za-z0-9_]*[ \t\r\n]*\\(" decls "${header_text}")
set(declared "")
foreach(decl IN LISTS decls)
    string(REGEX REPLACE "DRAVIK_CALL[ \t\r\n]+([A-Za-z_][A-Za-z0-9_]*).*" "\\1" name "${decl}")
    list(APPEND declared "${name}")
endforeach()
list(REMOVE_DUPLICATES declared)
list(SORT declared)

execute_process(COMMAND nm -D --defined-only "${LIBRARY}" OUTPUT_VARIABLE nm_out
                RESULT_VARIABLE nm_rc)
if(NOT nm_rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" nm_lines "${nm_out}")
set(exported "")
foreach(line IN LISTS nm_lines)
    # "<address> <type> <name>[@version]"; the linker's own version nodes have type A.
    if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) ([^@ ]+)")
        if(NOT CMAKE_MATCH_1 STREQUAL "A")
            list(APPEND exported "${CMAKE_MATCH_2}")
        endif()
    endif()
endforeach()
list(REMOVE_DUPLICATES exported)
list(SORT exported)

set(missing ${declared})
list(REMOVE_ITEM missing ${exported})
set(extra ${exported})
list(REMOVE_ITEM extra ${declared})
list(LENGTH declared n_declared)
list(LENGTH exported n_exported)
if(missing OR extra)
    message(FATAL_ERROR "exports differ from the header (${n_declared} declared, ${n_exported} "
                        "exported)\n  missing: ${missing}\n  extra: ${extra}")
endif()
message(STATUS "${n_exported} exported names match the header")
