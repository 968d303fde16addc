# The whole cycle for a Windows Installer product: msiexec /x through the
# uninstall command runner; the other programs keep everything.
#   uninstall-msi.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
install_programs --no32
expect_ferrowave present
uninstall_yes "$cli" Ferrowave
expect_ferrowave gone
expect "Ferrowave's folder is gone" absent test -e "$drive_c/Program Files/Ferrowave"
expect_quillmark present
expect_neighbour_intact
finish
