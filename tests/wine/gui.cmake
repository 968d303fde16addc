# The GUI tier: vorlix.exe under Xvfb, operated with xdotool, read through
# vorlix_gui_probe.exe and screenshots (in gui-screens/<build> of this build
# tree). The 32-bit program is skipped where 32-bit Wine cannot run (the
# runner's probe). Included by CMakeLists.txt after the Wine checks.

set(gui_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui)
foreach(build_dir IN LISTS VORLIX_WINE_BUILDS)
  get_filename_component(label ${build_dir} NAME)
  set(bin ${build_dir}/bin)
  add_test(NAME wine.${label}.gui
           COMMAND bash ${runner} run-script ${prefix_root} ${gui_dir}/gui-test.sh ${bin}/vorlix.exe
                   ${bin}/vorlix-cli.exe ${bin}/vorlix_gui_probe.exe ${CMAKE_BINARY_DIR}/gui-screens/${label}
                   ${CMAKE_CURRENT_BINARY_DIR}/gui-installers)
  set_tests_properties(wine.${label}.gui PROPERTIES FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77
                       TIMEOUT ${test_timeout} ENVIRONMENT "${wine_environment}" LABELS "wine;gui"
                       FAIL_REGULAR_EXPRESSION "FAILED:"
                       RESOURCE_LOCK wine_installers)
  add_test(NAME wine.${label}.gui-cycle
           COMMAND bash ${runner} run-script ${prefix_root} ${gui_dir}/cycle-test.sh ${bin}/vorlix.exe
                   ${bin}/vorlix_gui_probe.exe ${CMAKE_BINARY_DIR}/gui-screens/${label}
                   ${CMAKE_CURRENT_BINARY_DIR}/gui-installers)
  set_tests_properties(wine.${label}.gui-cycle PROPERTIES FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77
                       TIMEOUT ${test_timeout} ENVIRONMENT "${wine_environment}" LABELS "wine;gui"
                       FAIL_REGULAR_EXPRESSION "FAILED:"
                       RESOURCE_LOCK wine_installers)
  # The port of the test build's update address (VORLIX_TEST_UPDATE_ADDRESS in src/ui).
  add_test(NAME wine.${label}.gui-update
           COMMAND bash ${runner} run-script ${prefix_root} ${gui_dir}/update-test.sh ${bin}/vorlix_update_test.exe
                   ${bin}/vorlix_gui_probe.exe 18765 ${CMAKE_BINARY_DIR}/gui-screens/${label})
  set_tests_properties(wine.${label}.gui-update PROPERTIES FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77
                       TIMEOUT ${test_timeout} ENVIRONMENT "${wine_environment}" LABELS "wine;gui"
                       FAIL_REGULAR_EXPRESSION "FAILED:"
                       RESOURCE_LOCK update_port)
endforeach()
