# End-to-end scenarios with real installers: each scenario script installs the
# test programs (NSIS, MSI, Inno Setup, .reg) into its own copy of the pristine prefix and
# drives vorlix-cli there. Included by CMakeLists.txt after the Wine checks.

set(scenarios ${CMAKE_CURRENT_SOURCE_DIR}/scenarios)

# The Inno Setup compiler comes from npm into this build tree, once (fixture innosetup).
set(innosetup_dir ${CMAKE_CURRENT_BINARY_DIR}/innosetup)
add_test(NAME wine.innosetup.fetch COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/fetch-innosetup.sh ${innosetup_dir})
set_tests_properties(wine.innosetup.fetch PROPERTIES FIXTURES_SETUP innosetup TIMEOUT 360 LABELS "wine;e2e")

function(vorlix_wine_scenario name script cli)
  add_test(NAME ${name} COMMAND bash ${runner} run-script ${prefix_root} ${scenarios}/${script} ${cli} ${ARGN})
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
  # The engine scenarios build their installers inside their own prefix; only
  # the Inno Setup installers are kept between runs, in one shared folder
  # (each renamed into place once whole).
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_nsis_vendor uninstall-nsis-vendor.sh ${cli})
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_msi_shared uninstall-msi-shared.sh ${cli})
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_inno uninstall-inno.sh ${cli} ${innosetup_dir}
                       ${CMAKE_CURRENT_BINARY_DIR}/inno-setups)
  # Quiet and batch uninstalls of NSIS, Inno Setup and Windows Installer programs.
  vorlix_wine_scenario(wine.${label}.e2e.uninstall_quiet uninstall-quiet.sh ${cli} ${innosetup_dir}
                       ${CMAKE_CURRENT_BINARY_DIR}/inno-setups)
  set_tests_properties(wine.${label}.e2e.uninstall_nsis_vendor wine.${label}.e2e.uninstall_msi_shared
                       wine.${label}.e2e.uninstall_inno PROPERTIES RESOURCE_LOCK "")
  set_property(TEST wine.${label}.e2e.uninstall_inno wine.${label}.e2e.uninstall_quiet APPEND
               PROPERTY FIXTURES_REQUIRED innosetup)
  # The same uninstall of an Inno Setup program through the window.
  add_test(NAME wine.${label}.gui-inno
           COMMAND bash ${runner} run-script ${prefix_root} ${CMAKE_CURRENT_SOURCE_DIR}/gui/inno-test.sh
                   ${build_dir}/bin/vorlix.exe ${build_dir}/bin/vorlix_gui_probe.exe ${innosetup_dir}
                   ${CMAKE_CURRENT_BINARY_DIR}/inno-setups ${CMAKE_BINARY_DIR}/gui-screens/${label}/inno)
  set_tests_properties(wine.${label}.gui-inno PROPERTIES FIXTURES_REQUIRED "wine_prefix;innosetup"
                       SKIP_RETURN_CODE 77 TIMEOUT ${test_timeout} ENVIRONMENT "${wine_environment}"
                       LABELS "wine;gui;e2e" FAIL_REGULAR_EXPRESSION "FAILED:")
endforeach()
