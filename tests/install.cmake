# Installing: the per-user folder (window-free), the installed programs with what the desktop reads, and
# the .deb package.
add_unit_test(userfolder_test SOURCES userfolder_test.cpp LIBS platform_userfolder)
add_windowed_test(install_windowed windowed/install.sh ${INSTALLED_PROGRAMS})
add_windowed_test(package_deb windowed/package.sh ${INSTALLED_PROGRAMS})
