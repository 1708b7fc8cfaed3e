# The terminal simulators of the end-to-end tests, as a CTest fixture: started before the first
# test that needs them and stopped (by process id) after the last, by cmake/terminal-sim-fixture.sh.
# The tests find their ports, control files and request logs in VX_E2E_SIM_DIR.
#
# The simulator is a Linux program. The Windows build's tests run under wine and cannot start it
# themselves, so the fixture (a plain script on the Linux side) starts the Linux build's simulator:
# its path is the cache variable VXPA_TERMINAL_SIM (the Makefile builds Linux first and passes it).
if(WIN32)
  set(VXPA_TERMINAL_SIM "${CMAKE_SOURCE_DIR}/build/terminal-sim" CACHE FILEPATH
      "The Linux build's terminal-sim, started for the end-to-end tests under wine")
  set(vx_sim_program ${VXPA_TERMINAL_SIM})
elseif(TARGET terminal-sim)
  set(vx_sim_program $<TARGET_FILE:terminal-sim>)
else()
  return()
endif()

set(VX_E2E_SIM_DIR ${CMAKE_BINARY_DIR}/e2e-sim)
add_test(NAME terminal_sim_start
         COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/terminal-sim-fixture.sh start ${VX_E2E_SIM_DIR} ${vx_sim_program})
add_test(NAME terminal_sim_stop
         COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/terminal-sim-fixture.sh stop ${VX_E2E_SIM_DIR})
set_tests_properties(terminal_sim_start PROPERTIES FIXTURES_SETUP terminal_sim TIMEOUT 60)
set_tests_properties(terminal_sim_stop PROPERTIES FIXTURES_CLEANUP terminal_sim TIMEOUT 60)

# Every end-to-end test needs the simulators, and the tests share them (their scenarios and
# request logs), so they run one at a time; other suites still run beside them.
set(VX_TEST_PROPERTIES_e2e FIXTURES_REQUIRED terminal_sim RESOURCE_LOCK terminal_sim)
# The folder as the test programs see it (wine maps drive Z: to the Linux root).
if(WIN32)
  set(VX_E2E_SIM_DIR_FOR_TESTS "Z:${VX_E2E_SIM_DIR}")
else()
  set(VX_E2E_SIM_DIR_FOR_TESTS "${VX_E2E_SIM_DIR}")
endif()
