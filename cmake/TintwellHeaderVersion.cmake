# The public header is written by hand and tells a consumer which release it
# compiles against; project() names the release the build makes. Generating
# the header would take it out of the source tree that people read, edit and
# install as it is, so both places hold the numbers and configure stops when
# they part.

# The value of `#define NAME value` in HEADER, without quotes; empty when the
# header does not define NAME.
function(tintwell_header_define header name out)
    file(STRINGS "${header}" line REGEX "^#define ${name} ")
    string(REGEX REPLACE "^#define ${name} +\"?([^\"]*)\"? *$" "\\1" value "${line}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

function(tintwell_check_header_version header version)
    set(numbers "")
    foreach(part MAJOR MINOR PATCH)
        tintwell_header_define("${header}" TINTWELL_VERSION_${part} number)
        list(APPEND numbers "${number}")
    endforeach()
    list(JOIN numbers "." numbered)
    tintwell_header_define("${header}" TINTWELL_VERSION text)
    if(NOT numbered STREQUAL version OR NOT text STREQUAL version)
        message(FATAL_ERROR "${header} says version ${numbered} (TINTWELL_VERSION \"${text}\"), "
                            "the project says ${version}: change them together")
    endif()
endfunction()
