# Helpers shared by every folder's CMakeLists.txt.

# Adds every *.cpp of the current folder, except tests and benchmarks, to TARGET.
function(lemmix_folder_sources target)
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER srcs EXCLUDE REGEX "_(test|bench)\\.cpp$")
    target_sources(${target} PRIVATE ${srcs})
endfunction()

# One test executable per *_test.cpp of the current folder, linked with LIBS.
function(lemmix_folder_tests prefix)
    if(NOT LEMMIX_TESTS)
        return()
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(test ${tests})
        get_filename_component(name ${test} NAME_WE)
        set(exe ${prefix}_${name})
        add_executable(${exe} ${test})
        target_link_libraries(${exe} PRIVATE ${ARGN} GTest::gtest_main GTest::gmock)
        target_compile_definitions(${exe} PRIVATE
            LEMMIX_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
        gtest_discover_tests(${exe} DISCOVERY_TIMEOUT 120
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    endforeach()
endfunction()

# One Google Benchmark program per *_bench.cpp of the current folder, when the library is there.
function(lemmix_folder_benchmarks prefix)
    if(NOT benchmark_FOUND)
        return()
    endif()
    file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_bench.cpp)
    foreach(bench ${benches})
        get_filename_component(name ${bench} NAME_WE)
        add_executable(${prefix}_${name} ${bench})
        target_link_libraries(${prefix}_${name} PRIVATE ${ARGN} benchmark::benchmark)
    endforeach()
endfunction()
