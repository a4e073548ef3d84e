# Every code folder is one static library built from all the sources below it;
# includes are written from the project's root ("engine/parameter/Parameter.h").
function(lumora_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test program per test source, so that a test file in progress never blocks another's build.
function(lumora_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*Test.cpp)
  file(GLOB_RECURSE helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/support/*.cpp)
  foreach(test ${tests})
    get_filename_component(name ${test} NAME_WE)
    string(REPLACE "/" "_" prefix ${folder})
    set(exe ${prefix}_${name})
    add_executable(${exe} ${test} ${helpers})
    target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    # Tests that open windows share one X display: windows stacked over one another would spoil
    # each other's screenshots and pointer clicks, so they take turns.
    file(READ ${test} source)
    set(properties TIMEOUT 600)
    if(source MATCHES "REQUIRE_X_DISPLAY")
      list(APPEND properties RESOURCE_LOCK x_display)
    endif()
    # JACK refuses a server beyond the eighth on one machine ("Too many servers already active"),
    # so tests that start servers of their own take turns.
    # A compiler cache may hand the compiler a relative path, and __FILE__ with it, so tests that
    # read or write files of the source tree are told where it is.
    if(source MATCHES "CORVANE_SOURCE_DIR")
      target_compile_definitions(${exe} PRIVATE CORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    endif()
    if(source MATCHES "JackTest::Server")
      list(APPEND properties RESOURCE_LOCK jack_own_server)
    endif()
    gtest_discover_tests(${exe} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  endforeach()
endfunction()

# One benchmark program per source in a bench folder.
function(lumora_benchmarks folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*Bench.cpp)
  foreach(bench ${benches})
    get_filename_component(name ${bench} NAME_WE)
    string(REPLACE "/" "_" prefix ${folder})
    set(exe bench_${prefix}_${name})
    add_executable(${exe} ${bench})
    target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${exe} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  endforeach()
endfunction()
