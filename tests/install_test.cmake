# `cmake --install` puts the lemmix executable, and nothing else, in PREFIX/bin.
# cmake -DBUILD_DIR=<build folder> -DPREFIX=<scratch folder> -P install_test.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${log}")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
if(NOT installed STREQUAL "bin/lemmix")
    message(FATAL_ERROR "installed \"${installed}\", not bin/lemmix alone")
endif()
execute_process(COMMAND ${PREFIX}/bin/lemmix -v RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version STREQUAL "Lemmix 2.1\n")
    message(FATAL_ERROR "the installed lemmix -v gave ${status}: ${version}")
endif()
file(REMOVE_RECURSE ${PREFIX})
