# End-to-end scenarios with real installers: each scenario script installs the
# test programs (NSIS, MSI, .reg) into its own copy of the pristine prefix and
# drives vorlix-cli there. Included by CMakeLists.txt after the Wine checks.

set(scenarios ${CMAKE_CURRENT_SOURCE_DIR}/scenarios)

function(vorlix_wine_scenario name script cli)
  add_test(NAME ${name} COMMAND bash ${runner} run-script ${prefix_root} ${scenarios}/${script} ${cli})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77
                       TIMEOUT ${test_timeout} ENVIRONMENT "${wine_environment}" LABELS "wine;e2e"
                       FAIL_REGULAR_EXPRESSION "FAILED:"
                       # One scenario at a time: the installers build and install from shared sources.
                       RESOURCE_LOCK wine_installers)
endfunction()

foreach(build_dir IN LISTS VORLIX_WINE_BUILDS)
  get_filename_component(label ${build_dir} NAME)
  set(cli ${build_dir}/bin/vorlix-cli.exe)
  vorlix_wine_scenario(wine.${label}.e2e.list list.sh ${cli})
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_nsis uninstall-nsis.sh ${cli})
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_msi uninstall-msi.sh ${cli})
  vorlix_wine_scenario(wine.${label}.e2e.hostile_claims hostile-claims.sh ${cli})
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_fakes uninstall-fakes.sh ${cli})
endforeach()
