# The browser scenarios: each tests/web/<scenario>_test.py (pytest, with
# tests/web/conftest.py) in each engine it has a case for and whose tools
# are installed, as web.<engine>.<scenario>, run by Debian's python3 with
# the site folder (SITE_DIR) and the game's facts (pagecheck). Included by
# cmake/web.cmake with:
#   web_python    Debian's python3
#   web_engines   the engines whose tools are here
#   web_test_env  what the tests need to find the browsers and the test build
#
# The list is pytest's own collection of the folder (`--list-ctest`,
# conftest.py): the engines come from each case's engines mark, and each
# case marked real_time (a bound on real time) is a test of its own,
# web.<engine>.<scenario>.<case>, that ctest runs with nothing beside it,
# while the rest of its scenario runs beside other tests. A mark pytest
# cannot read stops the configuration with pytest's words. Configuring again
# follows any change under tests/web/ and python/.
file(GLOB web_python_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/web/*.py
  ${PROJECT_SOURCE_DIR}/tests/web/pytest.ini ${PROJECT_SOURCE_DIR}/python/*.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${web_python_files})
execute_process(COMMAND ${web_python} -m pytest ${PROJECT_SOURCE_DIR}/tests/web --list-ctest -q
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  OUTPUT_VARIABLE web_listed ERROR_VARIABLE web_listing_errors RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "pytest cannot list the browser scenarios (${web_python} -m pytest tests/web --list-ctest):\n"
    "${web_listed}${web_listing_errors}")
endif()
string(REPLACE "\n" ";" web_listed "${web_listed}")
foreach(line ${web_listed})
  if(NOT line MATCHES "^web\\.")
    continue()
  endif()
  # name, engine, real_time or beside, pytest's arguments that pick the cases
  string(REPLACE "\t" ";" fields "${line}")
  list(POP_FRONT fields name engine alone)
  if(NOT engine IN_LIST web_engines)
    continue()
  endif()
  add_test(NAME ${name}
    COMMAND ${web_python} -m pytest ${fields} --engine ${engine} --site ${TORVENKA_SITE_DIR}
      --pagecheck $<TARGET_FILE:pagecheck>
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED web_site TIMEOUT 900
    SKIP_RETURN_CODE 77 ENVIRONMENT "${web_test_env}")
  if(alone STREQUAL "real_time")
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endforeach()
