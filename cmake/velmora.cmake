# velmora_test_folder(LIBS lib...): one test program per *_test.cpp of the calling
# folder, each linked with the given libraries and GoogleTest, run by CTest.
function(velmora_test_folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_fixture.cpp)
  get_filename_component(group ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    set(target ${group}_${name})
    add_executable(${target} ${src} ${helpers})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_definitions(${target} PRIVATE VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                               VELMORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 300)
  endforeach()
endfunction()
