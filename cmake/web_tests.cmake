# The browser scenarios: each tests/web/<scenario>_test.py (pytest, with
# tests/web/conftest.py) in each engine it runs in and whose tools are
# installed, as web.<engine>.<scenario>, run by Debian's python3 with the
# site folder (SITE_DIR) and the game's facts (pagecheck). Included by
# cmake/web.cmake with:
#   web_python    Debian's python3
#   web_engines   the engines whose tools are here
#   web_test_env  what the tests need to find the browsers and the test build
#
# The folder is the one list: a scenario says in its own file which engines
# it runs in (`pytestmark = pytest.mark.engines('chromium')`, all three if
# it does not)
# and whether ctest must run it alone (`RUNS_ALONE = True`: its bounds are on
# real time). Two files of one name anywhere under tests/web/ are refused.
file(GLOB_RECURSE web_scenarios CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/web/*_test.py)
list(SORT web_scenarios)
set(web_scenario_names)
foreach(t ${web_scenarios})
  get_filename_component(name ${t} NAME_WE)
  string(REGEX REPLACE "_test$" "" scenario ${name})
  if(DEFINED web_scenario_file_${scenario})
    message(FATAL_ERROR "Two browser scenarios are named ${scenario}: ${web_scenario_file_${scenario}} and ${t}. "
      "Each tests/web/<scenario>_test.py needs a name of its own (web.<engine>.<scenario>).")
  endif()
  set(web_scenario_file_${scenario} ${t})
  list(APPEND web_scenario_names ${scenario})
endforeach()

foreach(scenario ${web_scenario_names})
  set(t ${web_scenario_file_${scenario}})
  file(STRINGS ${t} marks REGEX "^pytestmark = pytest.mark.engines\\(")
  set(engines chromium firefox webkit)
  if(marks)
    string(REGEX MATCHALL "'[a-z]+'" engines "${marks}")
    string(REPLACE "'" "" engines "${engines}")
  endif()
  file(STRINGS ${t} alone REGEX "^RUNS_ALONE = True")
  foreach(engine ${engines})
    if(NOT engine IN_LIST web_engines)
      continue()
    endif()
    add_test(NAME web.${engine}.${scenario}
      COMMAND ${web_python} -m pytest ${t} --engine ${engine} --site ${TORVENKA_SITE_DIR}
        --pagecheck $<TARGET_FILE:pagecheck>
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(web.${engine}.${scenario} PROPERTIES FIXTURES_REQUIRED web_site TIMEOUT 900
      SKIP_RETURN_CODE 77 ENVIRONMENT "${web_test_env}")
    if(alone)
      set_tests_properties(web.${engine}.${scenario} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
endforeach()
