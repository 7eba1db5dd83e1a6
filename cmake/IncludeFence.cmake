# Refuses an include that steps out of the folders the build lets a file see: a path with a ".."
# segment ("../platform/files.h") or an absolute one. Each floor sees its own folder and the
# floors below it through include directories of its own, so that an include that runs up does
# not compile; a path relative to the including file would walk round that fence. Run by the build
# before the floors compile: cmake -DROOT=<source tree> -P IncludeFence.cmake
set(folders text ui-resources platform image serial app frontends)
set(climbing "")
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE files LIST_DIRECTORIES false "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(include IN LISTS includes)
            string(REGEX REPLACE "^[^<\"]*[<\"]([^>\"]*)[>\"].*$" "\\1" path "${include}")
            if(path MATCHES "(^|[/\\\\])\\.\\.([/\\\\]|$)" OR path MATCHES "^([/\\\\]|[A-Za-z]:)")
                file(RELATIVE_PATH shown "${ROOT}" "${file}")
                string(APPEND climbing "\n  ${shown}: ${include}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(climbing)
    message(FATAL_ERROR "Includes that leave their floor's folder (name the floor instead, as "
                        "\"platform/files.h\"):${climbing}")
endif()
